// qx680-cli decode: frame texts in, one tab-separated line per frame out.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "display/reading_decoder.h"
#include "display/system_locale.h"

namespace qx::cli {
namespace {

class CountingHooks : public DecoderHooks {
public:
    explicit CountingHooks(LcdState& lcd) : lcd_(lcd) {}
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd_.DispInit(kind); }
    void INDataToTable(int kind) override { recorded = recorded || kind == 1; }
    bool recorded = false;

private:
    LcdState& lcd_;
};

std::string VisibleElements(const LcdState& lcd) {
    std::vector<std::string_view> names;
    for (int i = 0; i < kElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (!IsDigit(e) && lcd.Visible(e)) names.push_back(ElementName(e));
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (auto n : names) {
        if (!out.empty()) out += ',';
        out += n;
    }
    return out;
}

std::string DigitLabels(const LcdState& lcd) {
    std::string out;
    for (int d = 0; d < kDigitCount; ++d) {
        const Element e = DigitElement(d);
        if (d) out += ',';
        out += lcd.Caption(e);
        out += lcd.Visible(e) ? '+' : '-';
    }
    return out;
}

}  // namespace

int RunDecode(const Args& args) {
    std::string separator;
    bool haveSeparator = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--decimal" && i + 1 < args.size()) {
            separator = args[++i];
            haveSeparator = true;
        } else {
            std::fprintf(stderr, "qx680-cli decode: unknown argument '%s'\n", args[i].c_str());
            return 2;
        }
    }
    if (!haveSeparator) separator = SystemDecimalSeparator();

    LcdState lcd = LcdState::StartUp();
    CountingHooks hooks(lcd);
    ReadingDecoder decoder(lcd, hooks, separator);
    std::ios::sync_with_stdio(false);
    std::string line;
    std::string out;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        hooks.recorded = false;
        decoder.ShowData680(line);
        const Reading& r = decoder.reading();
        out.clear();
        out += hooks.recorded ? '1' : '0';
        for (const std::string* s : {&r.ReadingValue, &r.ReadingUnit, &r.ReadingFunction, &r.ReadingMode}) {
            out += '\t';
            out += *s;
        }
        out += '\t';
        out += VisibleElements(lcd);
        out += '\t';
        out += DigitLabels(lcd);
        out += '\n';
        std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    }
    std::cout.flush();
    return 0;
}

}  // namespace qx::cli
