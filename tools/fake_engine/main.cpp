// fake-engine [--port N] [--pages DIR] [--generate]: the loopback search engine as a program, for demos and for
// trying the window program without touching the real search engine.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/KeywordPages.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage = "usage: fake-engine [--port N] [--pages DIR] [--generate]\n"
                                    "  --port N      listen on 127.0.0.1:N (default 0: a free port)\n"
                                    "  --pages DIR   serve DIR/<keyword>.html as the result page of <keyword>\n"
                                    "  --generate    answer other keywords with generated pages (the default without "
                                    "--pages)\n";

struct Options {
    std::uint16_t port = 0;
    std::optional<std::string> pages;
    bool generate = false;
};

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--port" && hasValue) {
            const std::string value = argv[++i];
            char* end = nullptr;
            const unsigned long port = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || port > 65535)
                return std::nullopt;
            options.port = static_cast<std::uint16_t>(port);
        } else if (arg == "--pages" && hasValue) {
            options.pages = argv[++i];
        } else if (arg == "--generate") {
            options.generate = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }

    // Blocked before the engine starts its threads, so that they inherit the mask and sigwait() below takes the
    // signal: the main thread sleeps until then.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        pellorin::fake::FakeEngine engine(options->port);
        if (options->pages) {
            const std::size_t count = pellorin::fake::LoadKeywordPages(engine, *options->pages);
            std::cerr << "fake-engine: " << count << " pages from " << *options->pages << "\n";
        }
        engine.SetGenerateUnknown(!options->pages || options->generate);
        std::cout << engine.BaseUrl() << std::endl;

        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::cerr << "fake-engine: stopped\n";
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
