#include "log/recording_policy.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace qx {
namespace {

struct FakeUi : RecordingUi {
    bool answer = true;
    int asked = 0;
    std::vector<std::string> errors;
    std::function<void()> whileBoxOpen;  // frames decoded in the box's event loop
    bool AskYesNo(const std::string& question) override {
        EXPECT_EQ(question, "Do you want to remove the current data and create a new data?");
        ++asked;
        return answer;
    }
    void ShowErrorText(const std::string& text) override {
        errors.push_back(text);
        if (whileBoxOpen) whileBoxOpen();
    }
};

const std::string kOhm = "\xA6\xB8";

// Runs a script against a fresh policy. Commands, separated by ';':
//   read VALUE [UNIT [TIMES]]   INDataToTable(1) with that reading
//   other VALUE                 INDataToTable(2)
//   tick [N]                    SampInterTimeTimer N times
//   limit N | repeat on|off | si on|off | text T ('' is the empty text)
//   clear yes|no                ClearRClick with that answer
//   wipe                        empties the table behind the policy's back (a failed load)
//   expect KEY=VALUE ...        rows next countdown errors asked last lastNo checked
void RunScript(const std::string& script) {
    MeasurementTable table;
    FakeUi ui;
    RecordingPolicy policy(table, ui, [] { return 1234; });
    std::istringstream commands(script);
    std::string command;
    while (std::getline(commands, command, ';')) {
        std::istringstream in(command);
        std::string op, a, b;
        in >> op;
        SCOPED_TRACE(command);
        auto text = [](std::string s) { return s == "''" ? std::string() : s; };
        if (op == "read" || op == "other") {
            int times = 1;
            in >> a >> b >> times;
            Reading r{a, b == "-" ? "" : b, "IR:500V 20G" + kOhm, "Continuous"};
            for (int i = 0; i < times; ++i) policy.INDataToTable(op == "read" ? 1 : 2, r);
        } else if (op == "tick") {
            int n = 1;
            in >> n;
            for (int i = 0; i < n; ++i) policy.SampInterTimeTimer();
        } else if (op == "limit") {
            int n;
            in >> n;
            policy.SetRecordLimit(n);
        } else if (op == "repeat") {
            in >> a;
            policy.SetRepeatSet(a == "on");
        } else if (op == "si") {
            in >> a;
            policy.SetRecordSI(a == "on");
        } else if (op == "text") {
            in >> a;
            policy.RecordSITimeChange(text(a));
        } else if (op == "clear") {
            in >> a;
            ui.answer = a == "yes";
            policy.ClearRClick();
        } else if (op == "wipe") {
            table.Clear();
        } else if (op == "expect") {
            std::string kv;
            while (in >> kv) {
                const auto eq = kv.find('=');
                const std::string key = kv.substr(0, eq), want = text(kv.substr(eq + 1));
                std::string got;
                if (key == "rows")
                    got = std::to_string(table.RowCount());
                else if (key == "next")
                    got = std::to_string(policy.NextRecordNo());
                else if (key == "countdown")
                    got = std::to_string(policy.SampleCountdown());
                else if (key == "errors")
                    got = std::to_string(ui.errors.size());
                else if (key == "asked")
                    got = std::to_string(ui.asked);
                else if (key == "last")
                    got = policy.LastRecordedValue();
                else if (key == "lastNo")
                    got = std::to_string(table.No(table.RowCount() - 1).value_or(-1));
                else if (key == "checked")
                    got = std::to_string(policy.CheckedLimitItem());
                else
                    ADD_FAILURE() << "unknown key " << key;
                EXPECT_EQ(got, want) << key;
            }
        } else if (!op.empty()) {
            ADD_FAILURE() << "unknown command " << op;
        }
    }
    for (const std::string& e : ui.errors)
        EXPECT_TRUE(e == "'99999999999' is not a valid integer value" ||
                    e == "'2147483648' is not a valid integer value")
            << e;
}

TEST(RecordingPolicy, Rules) {
    const struct {
        const char* name;
        const char* script;
    } cases[] = {
        {"start values", "expect next=1 countdown=0 last='' checked=2 rows=0"},
        {"limit is inclusive and raising it resumes",
         "limit 1000; read 5 V 1001; expect rows=1000 next=1001 lastNo=1000;"
         "limit 5000; read 5; expect rows=1001 lastNo=1001 checked=1"},
        {"a lower limit removes nothing",
         "read 5 V 3000; limit 1000; read 5; expect rows=3000 next=3001 checked=0"},
        {"limitless is ten million",
         "limit 10000000; expect checked=5; limit 7; expect checked=-1"},
        {"other kinds record nothing", "other 5; expect rows=0 next=1"},
        {"clear yes empties and renumbers",
         "read 1 V 3; clear yes; expect rows=0 next=1 asked=1; read 2; expect lastNo=1"},
        {"clear on an empty table still renumbers",
         "read 1 V 3; wipe; clear yes; expect rows=0 next=1"},
        {"clear no changes nothing", "read 1 V 3; clear no; expect rows=3 next=4 asked=1"},
        {"clear keeps countdown, limit and last value",
         "limit 1000; read 7; clear yes; expect countdown=10 last=7 checked=0"},
        {"repeat on records every frame", "read 1.23 M 4; expect rows=4"},
        {"repeat off compares the value text only",
         "repeat off; read 1.23 M\xA6\xB8; read 1.23 G\xA6\xB8; expect rows=1; read 1.24 "
         "G\xA6\xB8; expect rows=2"},
        {"repeat filter survives a clear",
         "repeat off; read 7; clear yes; read 7; expect rows=0; read 8; expect rows=1"},
        {"interval 0 records every reading",
         "si on; text 0; read 1 V 3; expect rows=3 countdown=0"},
        {"interval '' records every reading", "si on; text ''; read 1 V 3; expect rows=3"},
        {"interval - records every reading", "si on; text -; read 1 V 3; expect rows=3"},
        {"interval + records every reading", "si on; text +; read 1 V 3; expect rows=3"},
        {"countdown of 10 needs ten ticks",
         "si on; read 1; expect rows=1 countdown=10; tick 9; read 2; expect rows=1 countdown=1;"
         "tick; read 3; expect rows=2 last=3 countdown=10"},
        {"countdown stands still while sampling is off",
         "read 1; tick 5; expect countdown=10; si on; read 2; expect rows=1; tick 10; read 2; "
         "expect rows=2"},
        {"editing restarts the countdown",
         "read 1; tick 3; text 1; expect countdown=1; text ''; expect countdown=0"},
        {"too big a number in the change handler keeps the countdown",
         "read 1; text 99999999999; expect countdown=10 errors=1; text 2147483648; expect "
         "countdown=10 errors=2;"
         "text 2147483647; expect countdown=2147483647 errors=2"},
        {"too big a number on the recording path: dropped, told once per text",
         "text 99999999999; expect errors=1; read 1 V 5; expect rows=0 next=1 errors=2 last='';"
         "text 2147483648; read 2 V 5; expect rows=0 errors=4; text 5; read 3; expect rows=1 "
         "countdown=5 errors=4"},
        {"a waiting countdown stops before the interval text is read",
         "si on; read 1; text 99999999999; read 2 V 3; expect rows=1 errors=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunScript(c.script);
    }
}

TEST(RecordingPolicy, RowTakesTheReadingTheClockAndTheNumber) {
    MeasurementTable table;
    FakeUi ui;
    std::int32_t now = 3'723'456;
    RecordingPolicy policy(table, ui, [&now] { return now; });
    const Reading r{"-1.234", "M" + kOhm, "IR:500V 20G" + kOhm, "COMP:GOOD"};
    policy.INDataToTable(1, r);
    now = 5;
    policy.INDataToTable(1, Reading{std::string(25, '9'), "V", "DCV  600V", "Timed"});
    ASSERT_EQ(table.RowCount(), 2U);
    EXPECT_EQ(table.Row(0),
              (TableRow{1, 3'723'456, "-1.234", "M" + kOhm, "IR:500V 20G" + kOhm, "COMP:GOOD"}));
    EXPECT_EQ(table.Row(1), (TableRow{2, 5, std::string(20, '9'), "V", "DCV  600V", "Timed"}));
    EXPECT_EQ(policy.LastRecordedValue(),
              std::string(25, '9'));  // the reading's text, not the cut one
}

TEST(RecordingPolicy, ErrorBoxesDoNotStackWhileFramesArrive) {
    MeasurementTable table;
    FakeUi ui;
    RecordingPolicy policy(table, ui, [] { return 0; });
    ui.whileBoxOpen = [&] {
        for (int i = 0; i < 3; ++i) policy.INDataToTable(1, Reading{"1", "V", "f", "m"});
    };
    policy.RecordSITimeChange("99999999999");
    EXPECT_EQ(ui.errors.size(), 1U);
    policy.INDataToTable(1, Reading{"2", "V", "f", "m"});  // the recording path's one box
    policy.INDataToTable(1, Reading{"3", "V", "f", "m"});
    EXPECT_EQ(ui.errors.size(), 2U);
    EXPECT_EQ(table.RowCount(), 0U);
    EXPECT_EQ(policy.SampleCountdown(), 0);
}

TEST(RecordingPolicy, IntervalKeysAndTexts) {
    for (char c = '0'; c <= '9'; ++c) EXPECT_TRUE(RecordingPolicy::RecordSITimeKeyPress(c));
    EXPECT_TRUE(RecordingPolicy::RecordSITimeKeyPress('\b'));
    for (char c : {'a', '-', '+', ' ', '.', '\r', '\x7F'})
        EXPECT_FALSE(RecordingPolicy::RecordSITimeKeyPress(c)) << c;
    EXPECT_TRUE(RecordingPolicy::AcceptsIntervalText(""));
    EXPECT_TRUE(RecordingPolicy::AcceptsIntervalText("0123"));
    for (const char* t : {"1a", " 1", "-", "+5", "1.5"})
        EXPECT_FALSE(RecordingPolicy::AcceptsIntervalText(t)) << t;
    EXPECT_EQ(RecordingPolicy::IntervalSeconds("007"), 7);
    EXPECT_EQ(RecordingPolicy::IntervalSeconds("-2147483648"), INT32_MIN);
    EXPECT_EQ(RecordingPolicy::IntervalSeconds("x"), std::nullopt);
    EXPECT_EQ(RecordingPolicy::IntervalSeconds("--1"), std::nullopt);
    EXPECT_EQ(RecordingPolicy::IntervalSeconds("184467440737095516160"), std::nullopt);
}

}  // namespace
}  // namespace qx
