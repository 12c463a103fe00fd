# Compile settings shared by every target of the project: link pellorin_settings.
add_library(pellorin_settings INTERFACE)

target_compile_features(pellorin_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(pellorin_settings INTERFACE -Wall -Wextra)

# Qt strings: no silent conversions between bytes and text. Our texts are GBK bytes,
# so every crossing between QString and bytes must say which encoding it means.
target_compile_definitions(pellorin_settings INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    QT_NO_KEYWORDS
)

# Sanitizer builds: -DPELLORIN_SANITIZE=address,undefined or =thread.
set(PELLORIN_SANITIZE "" CACHE STRING "Sanitizers to build with (address,undefined or thread)")
if(PELLORIN_SANITIZE)
    target_compile_options(pellorin_settings INTERFACE
        -fsanitize=${PELLORIN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(pellorin_settings INTERFACE -fsanitize=${PELLORIN_SANITIZE})
endif()
