#include "text/creation_stamp.h"

#include <algorithm>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace quarvel {

namespace {

std::string stampIn(const std::locale& locale, const std::tm& local) {
    std::ostringstream text;
    text.imbue(locale);
    text << std::put_time(&local, "%x %X");
    return text.str();
}

bool isPlainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7f && c != '(' && c != ')';
    });
}

}  // namespace

std::string CreationStamp(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    try {
        const std::string text = stampIn(std::locale(""), local);
        if (isPlainAscii(text)) return text;
    } catch (const std::runtime_error&) {
        // no such locale on this machine: the classic one below
    }
    return stampIn(std::locale::classic(), local);
}

}  // namespace quarvel
