// The history file: what is saved and loaded back, its mode, and that a
// save replaces the file whole or not at all.
#include "tty/history.h"

#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace dcl {
namespace {

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/dclsh-history-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/.dclsh_history";
    }
    void TearDown() override {
        chmod(dir_.c_str(), 0700);
        for (const std::string& name : entries()) unlink((dir_ + "/" + name).c_str());
        rmdir(dir_.c_str());
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        DIR* d = opendir(dir_.c_str());
        while (dirent* e = d ? readdir(d) : nullptr)
            if (e->d_name[0] != '.' || std::string(e->d_name).size() > 2) names.push_back(e->d_name);
        if (d) closedir(d);
        return names;
    }
    std::string contents() const {
        std::ifstream in(path_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& text) const { std::ofstream(path_) << text; }

    std::string dir_, path_;
};

TEST_F(HistoryFile, SavedOldestFirstPrivateAndLoadedBackInOrder) {
    RecallList saved;
    for (const char* line : {"DIR", "TYPE A.TXT", "SHOW TIME"}) add_recall_to(saved, line);
    ASSERT_TRUE(save_history(path_, saved));
    EXPECT_EQ(contents(), "DIR\nTYPE A.TXT\nSHOW TIME\n");
    struct stat st {};
    ASSERT_EQ(stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(), std::vector<std::string>{".dclsh_history"});  // no temporary left

    RecallList loaded;
    ASSERT_TRUE(load_history(path_, loaded));
    ASSERT_EQ(loaded.count, 3u);
    EXPECT_EQ(*recalled_from(loaded, 1), "SHOW TIME");
    EXPECT_EQ(*recalled_from(loaded, 3), "DIR");
}

TEST_F(HistoryFile, LoadKeepsOnlyWhatCouldHaveBeenRecalled) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "WRITE SYS$OUTPUT " + std::to_string(i) + "\n";
    text += std::string(300, 'x') + "\n";  // longer than a recall entry
    text += "BAD\x1b[2JLINE\n\nLAST";      // a control sequence; a last line without newline
    write(text);
    RecallList loaded;
    ASSERT_TRUE(load_history(path_, loaded));
    EXPECT_EQ(loaded.count, RecallList::kEntries);
    EXPECT_EQ(*recalled_from(loaded, 1), "LAST");
    EXPECT_EQ(*recalled_from(loaded, 2), "WRITE SYS$OUTPUT 4999");
}

TEST_F(HistoryFile, MissingOrUnreadableFilesChangeNothing) {
    RecallList loaded;
    add_recall_to(loaded, "KEPT");
    EXPECT_FALSE(load_history(path_, loaded));
    EXPECT_FALSE(load_history(dir_, loaded));  // a directory
    EXPECT_EQ(loaded.count, 1u);
}

TEST_F(HistoryFile, AFailedSaveLeavesTheOldFileWhole) {
    write("OLD\n");
    RecallList saved;
    add_recall_to(saved, "NEW");
    if (geteuid() != 0) {  // root writes anywhere
        chmod(dir_.c_str(), 0500);
        EXPECT_FALSE(save_history(path_, saved));
        chmod(dir_.c_str(), 0700);
        EXPECT_EQ(contents(), "OLD\n");
    }
    // The temporary a crashed session of the same process number left
    // behind does not stop the save.
    std::ofstream(path_ + ".new" + std::to_string(getpid())) << "stale";
    EXPECT_TRUE(save_history(path_, saved));
    EXPECT_EQ(contents(), "NEW\n");
    EXPECT_EQ(entries(), std::vector<std::string>{".dclsh_history"});
}

}  // namespace
}  // namespace dcl
