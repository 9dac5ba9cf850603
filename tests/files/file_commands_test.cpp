// "Save Data" and "Open Data": dialog settings, the order of suspend / work / resume / box, the
// remembered open name, cancel. Dialogs are set up for real but never shown.

#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>

namespace qx {
namespace {

class FileCommandsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "file_commands_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    FileCommands Make(std::function<QString(QFileDialog&)> runDialog) {
        FileCommands::Hooks hooks;
        hooks.beginBulk = [this] { events_.push_back("begin"); };
        hooks.endBulk = [this] { events_.push_back("end"); };
        hooks.headerTitles = [this] {
            events_.push_back("titles");
            return std::vector<std::string>{"Time", "Measurement No.", "Value",
                                            "Unit", "Function",        "Remark"};
        };
        hooks.runDialog = std::move(runDialog);
        hooks.showOutcome = [this](const FileOutcome& o) {
            events_.push_back("show");
            shown_.push_back(o);
        };
        return FileCommands(table_, timeFormat_, std::move(hooks), nullptr);
    }

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
    MeasurementTable table_;
    TimeFormat timeFormat_{"%H:%M:%S"};
    std::vector<std::string> events_;
    std::vector<FileOutcome> shown_;
};

TEST(QtNameFiltersTest, PairsBecomeQtFilters) {
    EXPECT_EQ(QtNameFilters(kSaveDialogFilter),
              (QStringList{"Excel File(*.xls)", "XML(*.xml)", "Txt File(*.txt)"}));
    EXPECT_EQ(QtNameFilters(kOpenDialogFilter),
              (QStringList{"Excel File(*.xls)", "XML (*.xml)", "Txt File(*.txt)"}));
    EXPECT_EQ(QtNameFilters("Data|*.txt;*.xls|All|*"),
              (QStringList{"Data (*.txt *.xls)", "All (*)"}));
}

TEST_F(FileCommandsTest, SaveShowsSaveDialog2AndReportsAfterResuming) {
    table_.Append(TableRow{1, 3'600'000, "1.5", "V", "DCV  600V", "Continuous"});
    const QString path = Path("out.xls");
    FileCommands commands = Make([&](QFileDialog& d) {
        EXPECT_EQ(d.objectName(), "SaveDialog2");
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d.defaultSuffix(), "xls");
        EXPECT_FALSE(d.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(d.nameFilters(), QtNameFilters(kSaveDialogFilter));
        EXPECT_EQ(d.selectedNameFilter(), "Excel File(*.xls)");
        events_.push_back("dialog");
        return path;
    });
    commands.Save_asClick();
    EXPECT_EQ(events_, (std::vector<std::string>{"dialog", "begin", "titles", "end", "show"}));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].kind, FileMessageKind::Plain);
    EXPECT_EQ(shown_[0].message, "Save table to specified file: " + path.toStdString() + " Scuss!");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              "Time\tMeasurement No.\tValue\tUnit\tFunction\tRemark\r\n1\t01:00:00\t1.5\tV\tDCV  "
              "600V\tContinuous\r\n");
}

TEST_F(FileCommandsTest, CancelledDialogsDoNothing) {
    FileCommands commands = Make([](QFileDialog&) { return QString(); });
    commands.Save_asClick();
    commands.OpenClick();
    EXPECT_TRUE(events_.empty());
    EXPECT_TRUE(commands.lastOpenName().isEmpty());
}

TEST_F(FileCommandsTest, OpenRemembersTheLastNameAndAppends) {
    const QString good = Path("in.txt"), bad = Path("bad.xml");
    for (const auto& [path, bytes] : {std::pair{good, QByteArray("h\r\n7\t10:00:00\t2.5\r\n")},
                                      std::pair{bad, QByteArray("<not a packet/>")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    std::vector<QString> answers = {good, good, bad};
    std::vector<QString> proposed;
    FileCommands commands = Make([&](QFileDialog& d) {
        EXPECT_EQ(d.objectName(), "OpenDialog1");
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(d.nameFilters(), QtNameFilters(kOpenDialogFilter));
        proposed.push_back(d.selectedFiles().value(0));
        const QString answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    commands.OpenClick();
    commands.OpenClick();
    EXPECT_EQ(commands.lastOpenName(), good);
    EXPECT_EQ(proposed.at(1), good);
    EXPECT_EQ(table_.RowCount(), 2u);  // a text file appends, twice

    events_.clear();
    commands.OpenClick();  // not a packet: the table stays, the "Error" box after resuming
    EXPECT_EQ(events_, (std::vector<std::string>{"begin", "end", "show"}));
    EXPECT_EQ(table_.RowCount(), 2u);
    ASSERT_EQ(shown_.size(), 3u);
    EXPECT_EQ(shown_[0].kind, FileMessageKind::None);
    EXPECT_EQ(shown_[2].kind, FileMessageKind::LoadError);
    EXPECT_EQ(shown_[2].message, "Failed to Load File!");
}

}  // namespace
}  // namespace qx
