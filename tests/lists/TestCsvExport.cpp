#include "lists/CsvExport.h"
#include "lists/ResultsTable.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pellorin::lists {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<Text>>;
using Names = std::vector<std::string>;

constexpr std::string_view kHomePage = "http://www.example.com/";

// The first two lines, the same in every file.
std::string Head()
{
    return test::Gbk("--由KorrimPellorin生成，") + std::string(kHomePage) + "\r\n\r\n";
}

TEST(CsvExport, WritesTheReportListLineByLine)
{
    struct Case {
        const char* name;
        bool multiSite;
        int columns;
        std::vector<Text> sites;
        Rows rows;
        std::string expected;
    } cases[] = {
        {"SingleSite", false, 4, {}, {{"1", test::Gbk("手机"), "3", "U"}, {"2", test::Gbk("平板"), "-", ""}},
            Head() + test::Gbk("序号,关键词,排名,URL\r\n1,手机,3,U\r\n2,平板,-,")},
        {"SingleSiteEmpty", false, 4, {}, {}, Head() + test::Gbk("序号,关键词,排名,URL")},
        {"SingleSiteWritesFourColumnsOfAWiderTable", false, 5, {}, {{"1", "a", "3", "U", "extra"}},
            Head() + test::Gbk("序号,关键词,排名,URL\r\n1,a,3,U")},
        {"SingleSiteMissingColumnsAreEmpty", false, 2, {}, {{"1", "a"}},
            Head() + test::Gbk("序号,关键词,排名,URL\r\n1,a,,")},
        {"MultiSite", true, 4, {"A", "B"}, {{"1", test::Gbk("手机"), "3", "-"}, {"2", test::Gbk("平板"), "-", "12"}},
            Head() + test::Gbk("序号,关键词,A,B,\r\n1,手机,3,-,\r\n2,平板,-,12,\r\n")},
        {"MultiSiteEmpty", true, 2, {}, {}, Head() + test::Gbk("序号,关键词,\r\n")},
        {"MultiSiteNoRowsWithSites", true, 4, {"A", "B"}, {}, Head() + test::Gbk("序号,关键词,A,B,\r\n")},
        {"MultiSiteBeforeAnyRun", true, 2, {}, {{"1", test::Gbk("手机")}, {"2", test::Gbk("平板")}},
            Head() + test::Gbk("序号,关键词,\r\n1,手机,\r\n2,平板,\r\n")},
        {"MultiSiteWritesEveryColumnWhateverTheSites", true, 3, {"A", "B"}, {{"1", "a", "3"}},
            Head() + test::Gbk("序号,关键词,A,B,\r\n1,a,3,\r\n")},
    };
    for (const Case& c : cases) {
        ResultsTable table;
        for (int column = 0; column < c.columns; ++column)
            table.InsertColumn(column, "title", 40);
        for (const std::vector<Text>& row : c.rows)
            table.AppendRow(row);
        EXPECT_EQ(ExportText(table, c.multiSite, c.sites, kHomePage), c.expected) << c.name;
    }
}

TEST(CsvExport, QuotesCellsThatWouldBreakTheColumns)
{
    struct Case {
        const char* name;
        Text cell;
        std::string written;
    } cases[] = {
        {"Comma", "a,b", "\"a,b\""},
        {"Quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"OnlyAQuote", "\"", "\"\"\"\""},
        {"LineBreak", "a\r\nb", "\"a\r\nb\""},
        {"LoneCarriageReturn", "a\rb", "\"a\rb\""},
        {"LoneLineFeed", "a\nb", "\"a\nb\""},
        {"PlainStaysUnquoted", "a b;c'd\t", "a b;c'd\t"},
        {"ChineseStaysUnchanged", test::Gbk("手机，平板"), test::Gbk("手机，平板")},
    };
    for (const Case& c : cases) {
        ResultsTable table;
        for (int column = 0; column < 4; ++column)
            table.InsertColumn(column, "title", 40);
        table.AppendRow({"1", c.cell, "3", c.cell});

        EXPECT_EQ(ExportText(table, false, {}, kHomePage),
            Head() + test::Gbk("序号,关键词,排名,URL\r\n1,") + c.written + ",3," + c.written)
            << c.name;
        EXPECT_EQ(ExportText(table, true, {c.cell}, kHomePage),
            Head() + test::Gbk("序号,关键词,") + c.written + ",\r\n1," + c.written + ",3," + c.written + ",\r\n")
            << c.name;
    }
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        static std::atomic<int> counter = 0;
        m_path = fs::temp_directory_path() /
            ("pellorin-csv-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        // A test may leave the folder read-only, which would keep its entries.
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, sorted: a temporary file left behind shows here.
Names Entries(const fs::path& folder)
{
    Names names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t Permissions(const fs::path& path)
{
    struct stat status { };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Bytes a text-mode write would change: NUL, CR LF, a lone LF, GBK.
const std::string kContent = test::Gbk("序号,关键词\r\n1,手机\n") + std::string("\0\xFF", 2);

TEST(CsvFileWrite, WritesANewFile)
{
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "list.csv";
    EXPECT_EQ(WriteFileReplacing(path, kContent), std::nullopt);
    EXPECT_EQ(ReadFile(path), kContent);
    EXPECT_EQ(Permissions(path), 0644 & ~CurrentUmask());
    EXPECT_EQ(Entries(folder.Path()), Names{"list.csv"});
}

TEST(CsvFileWrite, ReplacesAnExistingFileKeepingItsPermissions)
{
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "list.csv";
    WriteFile(path, "an older and much longer content\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    EXPECT_EQ(WriteFileReplacing(path, "new"), std::nullopt);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Permissions(path), 0640);
    EXPECT_EQ(Entries(folder.Path()), Names{"list.csv"});

    EXPECT_EQ(WriteFileReplacing(path, ""), std::nullopt);
    EXPECT_EQ(ReadFile(path), "");
}

TEST(CsvFileWrite, WritesThroughASymbolicLink)
{
    TemporaryFolder folder;
    fs::create_directory(folder.Path() / "real");
    const fs::path file = folder.Path() / "real" / "list.csv";
    const fs::path link = folder.Path() / "link.csv";
    WriteFile(file, "old content");
    fs::create_symlink(fs::path("real") / "list.csv", link);

    EXPECT_EQ(WriteFileReplacing(link, "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_EQ(Entries(folder.Path()), (Names{"link.csv", "real"}));
    EXPECT_EQ(Entries(folder.Path() / "real"), Names{"list.csv"});
}

TEST(CsvFileWrite, AFailureGivesTheReasonAndLeavesTheFolderAsItWas)
{
    struct Case {
        const char* name;
        // Prepares the case's folder; returns the path to write.
        fs::path (*prepare)(const fs::path& folder);
        std::string reason;
        bool needsPermissionChecks;
    } cases[] = {
        {"FolderMissing", [](const fs::path& folder) { return folder / "missing" / "list.csv"; },
            "No such file or directory", false},
        {"FolderReadOnly",
            [](const fs::path& folder) {
                WriteFile(folder / "list.csv", "old content");
                fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
                return folder / "list.csv";
            },
            "Permission denied", true},
        {"TargetIsAFolder",
            [](const fs::path& folder) {
                fs::create_directory(folder / "list.csv");
                WriteFile(folder / "list.csv" / "inside", "old content");
                return folder / "list.csv";
            },
            "Is a directory", false},
    };
    const bool root = ::geteuid() == 0;
    for (const Case& c : cases) {
        // Root writes into read-only folders; the folder case fails for root too.
        if (c.needsPermissionChecks && root)
            continue;
        TemporaryFolder folder;
        const fs::path path = c.prepare(folder.Path());
        const Names before = Entries(folder.Path());

        EXPECT_EQ(WriteFileReplacing(path, kContent), c.reason) << c.name;
        EXPECT_EQ(Entries(folder.Path()), before) << c.name;
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(ReadFile(path), "old content") << c.name;
        } else if (fs::is_directory(path)) {
            EXPECT_EQ(Entries(path), Names{"inside"}) << c.name;
        }
    }
}

} // namespace
} // namespace pellorin::lists
