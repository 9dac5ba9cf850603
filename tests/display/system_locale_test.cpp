#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>

#include "display/system_locale.h"

namespace qx {
namespace {

class SystemLocaleTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = dir.path().toStdString() + "/" + name;
        std::ofstream(path) << content;
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(SystemLocaleTest, MachineWideSettingWinsOverTheUsersEnvironment) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("LC_NUMERIC", "en_US.UTF-8", 1);
    const auto file = write("locale.conf", "LANG=de_DE.UTF-8\n");
    EXPECT_EQ(SystemDecimalSeparator({file}), ",");
}

TEST_F(SystemLocaleTest, FileContents) {
    struct Case {
        const char* content;
        const char* separator;
    };
    const Case cases[] = {
        {"LANG=en_US.UTF-8\nLC_NUMERIC=\"fr_FR.UTF-8\"\n", ","},
        {"# comment\nLANG=\"en_GB.UTF-8\"\n", "."},
        {"LANG=C.UTF-8\n", "."},
        {"LANG=POSIX\n", "."},
        {"", "."},
        {"export LANG=nl_NL.UTF-8\n", ","},
    };
    for (const Case& c : cases) {
        const auto file = write("f", c.content);
        EXPECT_EQ(SystemDecimalSeparator({file}), c.separator) << c.content;
    }
}

TEST_F(SystemLocaleTest, FirstExistingFileDecidesAndNoFileMeansC) {
    const auto comma = write("b", "LANG=de_DE.UTF-8\n");
    EXPECT_EQ(SystemDecimalSeparator({dir.path().toStdString() + "/missing", comma}), ",");
    EXPECT_EQ(SystemDecimalSeparator({dir.path().toStdString() + "/missing"}), ".");
}

TEST_F(SystemLocaleTest, UnreadableFileGivesEmpty) {
    // A directory exists but cannot be read as a file.
    EXPECT_EQ(SystemDecimalSeparator({dir.path().toStdString()}), "");
}

}  // namespace
}  // namespace qx
