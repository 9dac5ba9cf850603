#include "link/frame_assembler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 20 bytes of LCD memory followed by CR LF.
Bytes Frame(std::uint8_t fill = 0x5A) {
    Bytes f(20, fill);
    f[0] = 0x0D;  // a data byte that looks like the trailer must not confuse anything
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

std::string Hex(const Bytes& bytes) {
    static const char d[] = "0123456789ABCDEF";
    std::string s;
    for (std::uint8_t b : bytes) s += {d[b >> 4], d[b & 15]};
    return s;
}

// The cable's way: 8-byte reports, count byte 0xF0 | n, then n data bytes, zero padded.
std::vector<Bytes> Counted(const Bytes& data, std::size_t perReport = 7) {
    std::vector<Bytes> out;
    for (std::size_t i = 0; i < data.size(); i += perReport) {
        const std::size_t n = std::min(perReport, data.size() - i);
        Bytes r(std::max<std::size_t>(8, n + 1), 0);
        r[0] = static_cast<std::uint8_t>(0xF0 | n);
        std::copy(data.begin() + i, data.begin() + i + n, r.begin() + 1);
        out.push_back(r);
    }
    return out;
}

const Bytes kEnd = {0xF0, 0, 0, 0, 0, 0, 0, 0};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<Bytes> Then(std::vector<Bytes> a, const std::vector<Bytes>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FrameAssemblerTest : public ::testing::Test {
  protected:
    void Feed(const std::vector<Bytes>& reports, std::uint8_t reportId = 0) {
        for (const Bytes& r : reports) assembler.Read470(reportId, r);
    }
    std::vector<std::string> frames;
    std::function<void()> duringHandOff;
    FrameAssembler assembler{[this](const std::string& f) {
        frames.push_back(f);
        if (duringHandOff) duringHandOff();
    }};
};

TEST_F(FrameAssemblerTest, CountIsTheLowNibbleOfTheFirstByte) {
    Feed({{0x03, 0xAA, 0xBB, 0xCC, 0xDD}, {0xF3, 0x01, 0x0D, 0xEF, 0x99}});
    EXPECT_EQ(assembler.FrameHex(), "AABBCC010DEF");  // upper case, high digit first
    EXPECT_TRUE(assembler.FrameInProgress());
    // A count reaching past the payload takes what is there.
    Feed({{0x09, 1, 2, 3, 4, 5, 6, 7}});
    EXPECT_EQ(assembler.FrameHex(), "AABBCC010DEF01020304050607");
    Feed({{0x05}});  // a counted report without data bytes still starts/continues a run
    EXPECT_TRUE(assembler.FrameInProgress());
    EXPECT_TRUE(frames.empty());
}

TEST_F(FrameAssemblerTest, EveryReportWithoutACountEndsTheRun) {
    const std::vector<Bytes> closers = {{},     {0x00}, {0xF0, 1, 2}, {0x0A, 1, 2, 3},
                                        {0x0B}, {0xFC}, {0x0D, 0x0A}, {0xFF, 9, 9}};
    for (const Bytes& closer : closers) {
        SCOPED_TRACE(Hex(closer));
        frames.clear();
        Feed(Counted(Frame()));
        Feed({closer});
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0], Hex(Frame()));
        EXPECT_FALSE(assembler.FrameInProgress());
        EXPECT_EQ(assembler.FrameHex(), "");
        Feed({closer});  // a second one in a row changes nothing
        EXPECT_EQ(frames.size(), 1u);
        EXPECT_FALSE(assembler.FrameInProgress());
    }
}

TEST_F(FrameAssemblerTest, RunsAreJudgedByBytes21And22) {
    const Bytes good = Frame();
    Bytes badTrailer = good;
    badTrailer[21] = 0x0B;
    const Bytes shortRun(good.begin() + 1, good.end());  // 21 bytes, still ending CR LF
    struct Case {
        const char* name;
        std::vector<Bytes> reports;
        std::vector<std::string> expected;
    } cases[] = {
        {"22 bytes ending CR LF", Then(Counted(good), {kEnd}), {Hex(good)}},
        {"same frame, 1-byte reports", Then(Counted(good, 1), {kEnd}), {Hex(good)}},
        {"same frame, 9-byte reports", Then(Counted(good, 9), {kEnd}), {Hex(good)}},
        {"21 bytes", Then(Counted(shortRun), {kEnd}), {}},
        {"22 bytes, wrong trailer", Then(Counted(badTrailer), {kEnd}), {}},
        {"two frames without a gap",
         Then(Counted(Cat({good, Frame(0x11)})), {kEnd}),
         {Hex(good) + Hex(Frame(0x11))}},
        {"longer run, CR LF at 21-22",
         Then(Counted(Cat({good, {1, 2, 3}})), {kEnd}),
         {Hex(good) + "010203"}},
        {"misaligned start, then a frame",
         Then(Then(Counted(Bytes(good.begin() + 5, good.end())), {kEnd}),
              Then(Counted(Frame(0x22)), {kEnd})),
         {Hex(Frame(0x22))}},
        {"no end report yet", Counted(good), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameAssembler a([&](const std::string& f) { frames.push_back(f); });
        frames.clear();
        for (const Bytes& r : c.reports) a.Read470(0, r);
        EXPECT_EQ(frames, c.expected);
        const bool ended = c.reports.back() == kEnd;
        EXPECT_EQ(a.FrameInProgress(), !ended);
        if (ended) {
            EXPECT_EQ(a.FrameHex(), "");
        }
    }
}

TEST_F(FrameAssemblerTest, ReportIdPlaysNoPart) {
    Feed(Then(Counted(Frame()), {kEnd}), 0x07);
    EXPECT_EQ(frames, std::vector<std::string>{Hex(Frame())});
}

TEST_F(FrameAssemblerTest, EndlessRunIsCappedButJudgedAsAWhole) {
    const std::vector<Bytes> reports = Counted(Frame());
    const std::size_t frameCount = FrameAssembler::kMaxFrameHexChars / 44 + 10;
    for (std::size_t i = 0; i < frameCount; ++i) Feed(reports);
    EXPECT_EQ(assembler.FrameHex().size(), FrameAssembler::kMaxFrameHexChars);
    Feed({kEnd});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), FrameAssembler::kMaxFrameHexChars);
    EXPECT_EQ(frames[0].substr(0, 44), Hex(Frame()));
}

// The decoder may spin a nested event loop (an error box) in which the next frame arrives.
TEST_F(FrameAssemblerTest, FrameArrivingDuringAHandOffIsKept) {
    bool nestedDone = false;
    duringHandOff = [&] {
        EXPECT_EQ(assembler.FrameHex(), "");
        EXPECT_FALSE(assembler.FrameInProgress());
        if (nestedDone) return;
        nestedDone = true;
        Feed(Counted(Frame(0x33)));
        Feed({kEnd});
        Feed(Counted(Frame(0x44)));  // left in progress when the outer hand-off returns
    };
    Feed(Then(Counted(Frame()), {kEnd}));
    EXPECT_EQ(frames, (std::vector<std::string>{Hex(Frame()), Hex(Frame(0x33))}));
    EXPECT_EQ(assembler.FrameHex(), Hex(Frame(0x44)));
    Feed({kEnd});
    EXPECT_EQ(frames.back(), Hex(Frame(0x44)));
}

}  // namespace
}  // namespace qx
