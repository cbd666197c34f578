#include "backends/native/file_browser.h"
#include "backends/native/recent_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
const std::vector<BrowserFilter> kFilters = {{"Presets", {"*.qlp", "*.json"}}, {"All files", {"*.*"}}};

TEST(FileBrowserNames, PatternsMatchLikeTheSystemChoosers) {
    struct Case {
        const char *name, *pattern;
        bool matches;
    } cases[] = {
        {"a.qlp", "*.qlp", true},     {"A.QLP", "*.qlp", true},      {"a.qlp.bak", "*.qlp", false},
        {"qlp", "*.qlp", false},      {".qlp", "*.qlp", true},       {"README", "*.*", true},
        {"x.y.z", "*.z", true},       {"ab", "a?", true},            {"a", "a?", false},
        {"abcabd", "*abd", true},     {"", "*", true},               {"a.json", "*.qlp", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(FileBrowserNames, BytesThatAreNotUtf8AreShownAsReplacements) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::string name, shown;
    } cases[] = {
        {"plain.qlp", "plain.qlp"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
        {"a\xFFz", "a" + replacement + "z"},
        {"\xC0\x80", replacement + replacement},          // overlong NUL
        {"\xED\xA0\x80", replacement + replacement + replacement},  // a surrogate
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},  // past U+10FFFF
        {"cut\xE2\x82", "cut" + replacement + replacement},
        {"line\nbreak", "line" + replacement + "break"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShownName(c.name), c.shown) << c.name;
}

// A folder of its own per test, removed afterwards.
class FileBrowserFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("qelv-browser-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root / "locked", fs::perms::owner_all, ignored);
        fs::remove_all(root, ignored);
    }
    void File(const std::string& name) { std::ofstream(root / name) << "x"; }
    std::vector<std::string> Names(const FileBrowser& browser) {
        std::vector<std::string> names;
        for (const BrowserEntry& entry : browser.entries())
            names.push_back(entry.folder ? entry.name + "/" : entry.name);
        return names;
    }
    fs::path root;
};

TEST_F(FileBrowserFolder, ListsFoldersFirstThenFilesThroughTheFilterIgnoringCase) {
    for (const char* folder : {"b", "A", "c.qlp"}) fs::create_directory(root / folder);
    for (const char* file : {"Z.qlp", "a.json", "m.QLP", "notes.txt", ".hidden.qlp", "\xFF.qlp", "b.qlp", "B.qlp"})
        File(file);
    fs::create_symlink(root / "b", root / "link");
    fs::create_symlink(root / "nowhere", root / "dead.qlp");
    ASSERT_EQ(mkfifo((root / "pipe.qlp").c_str(), 0600), 0);

    FileBrowser browser(kFilters);
    EXPECT_TRUE(browser.Open(root.string()));
    EXPECT_EQ(browser.error(), "");
    // Names that differ only in case keep byte order; bytes past ASCII sort last.
    const std::vector<std::string> presets = {"A/", "b/", "c.qlp/", "link/", "a.json", "B.qlp", "b.qlp",
                                              "m.QLP", "Z.qlp", "\xFF.qlp"};
    EXPECT_EQ(Names(browser), presets);
    EXPECT_EQ(browser.entries().back().label, "\xEF\xBF\xBD.qlp");
    browser.SetFilter(1);
    EXPECT_EQ(browser.entries().size(), presets.size() + 1);  // notes.txt; never the pipe or the dead link
    browser.SetFilter(7);                                       // no such filter: nothing changes
    EXPECT_EQ(browser.filter(), 1);
}

TEST_F(FileBrowserFolder, AFolderThatCannotBeListedLeavesAnErrorLineAndAWayOut) {
    File("plain");
    fs::create_directory(root / "gone");
    fs::create_directory(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);
    struct Case {
        std::string folder;
        bool listable;
    } cases[] = {{(root / "missing").string(), false}, {(root / "plain").string(), false},
                 // The superuser reads any folder.
                 {(root / "locked").string(), geteuid() == 0}};
    for (const Case& c : cases) {
        FileBrowser browser(kFilters);
        EXPECT_EQ(browser.Open(c.folder), c.listable) << c.folder;
        EXPECT_EQ(browser.error().empty(), c.listable) << c.folder;
        EXPECT_EQ(browser.folder(), c.folder);
        EXPECT_TRUE(browser.Up());
        EXPECT_EQ(browser.folder(), root.string());
    }
    // One that vanishes while shown.
    FileBrowser browser(kFilters);
    ASSERT_TRUE(browser.Open((root / "gone").string()));
    fs::remove(root / "gone");
    browser.Refresh();
    EXPECT_NE(browser.error(), "");
    EXPECT_TRUE(browser.entries().empty());
}

TEST_F(FileBrowserFolder, PathsTypedAndClickedLeadWhereTheySay) {
    fs::create_directories(root / "sub" / "deeper");
    File("sub/old.qlp");
    FileBrowser browser(kFilters);
    browser.Open((root / "sub" / "deeper" / ".." / "").string());
    EXPECT_EQ(browser.folder(), (root / "sub").string());

    const auto segments = browser.Segments();
    ASSERT_GE(segments.size(), 3u);
    EXPECT_EQ(segments.front(), (std::pair<std::string, std::string>{"/", "/"}));
    EXPECT_EQ(segments.back(), (std::pair<std::string, std::string>{"sub", (root / "sub").string()}));

    EXPECT_FALSE(browser.GoTo("old.qlp"));  // a file is no folder: the listing stays
    EXPECT_NE(browser.error(), "");
    EXPECT_EQ(browser.folder(), (root / "sub").string());
    EXPECT_TRUE(browser.GoTo("deeper"));
    EXPECT_TRUE(browser.GoTo(root.string()));
    EXPECT_EQ(browser.folder(), root.string());
    EXPECT_TRUE(browser.GoTo("sub"));

    using Kind = FileBrowser::Target::Kind;
    struct Case {
        std::string typed, extension;
        Kind kind;
        std::string path;
        bool exists;
    } cases[] = {
        {"", "qlp", Kind::Nothing, "", false},
        {"deeper", "qlp", Kind::Folder, (root / "sub" / "deeper").string(), false},
        {"new", "qlp", Kind::File, (root / "sub" / "new.qlp").string(), false},
        {"new", "", Kind::File, (root / "sub" / "new").string(), false},
        {"new.json", "qlp", Kind::File, (root / "sub" / "new.json").string(), false},
        {"old", "qlp", Kind::File, (root / "sub" / "old.qlp").string(), true},
        {"deeper/../old.qlp", "qlp", Kind::File, (root / "sub" / "old.qlp").string(), true},
        {(root / "x.qlp").string(), "qlp", Kind::File, (root / "x.qlp").string(), false},
        {"nofolder/", "qlp", Kind::Nothing, "", false},
    };
    for (const Case& c : cases) {
        const FileBrowser::Target target = browser.Resolve(c.typed, c.extension);
        EXPECT_EQ(target.kind, c.kind) << c.typed;
        EXPECT_EQ(target.path, c.path) << c.typed;
        EXPECT_EQ(target.exists, c.exists) << c.typed;
    }
    EXPECT_TRUE(browser.Open("/"));
    EXPECT_FALSE(browser.Up());
}

TEST(RecentFolders, NewestFirstEachOnceAndBounded) {
    RecentFolders recent;
    for (int i = 0; i < 12; ++i) recent.Add("/f" + std::to_string(i % 10));
    recent.Add("relative/not/kept");
    recent.Add("");
    ASSERT_EQ(recent.folders().size(), RecentFolders::kLimit);
    EXPECT_EQ(recent.folders()[0], "/f1");
    EXPECT_EQ(recent.folders()[1], "/f0");
    EXPECT_EQ(recent.folders()[2], "/f9");
    RecentFolders again;
    again.Parse(recent.Text());
    EXPECT_EQ(again.folders(), recent.folders());
}

TEST(RecentFolders, ADamagedFileGivesOnlyItsUsableLines) {
    const std::string longLine = "/" + std::string(RecentFolders::kMaxPathBytes, 'x');
    struct Case {
        std::string text;
        std::vector<std::string> folders;
    } cases[] = {
        {"", {}},
        {std::string("\0\x01\xFF\n", 4), {}},
        {"/a\r\n/b\n", {"/b"}},  // a stray carriage return spoils its line only
        {"relative\n/a\n\n/a\n" + longLine + "\n/b", {"/a", "/b"}},
        {"/1\n/2\n/3\n/4\n/5\n/6\n/7\n/8\n/9\n", {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"}},
    };
    for (const Case& c : cases) {
        RecentFolders recent;
        recent.Add("/before");
        recent.Parse(c.text);
        EXPECT_EQ(recent.folders(), c.folders) << c.text;
    }
    RecentFolders missing;
    std::string error;
    EXPECT_TRUE(missing.Read("/no/such/recent-folders", error)) << error;
    EXPECT_TRUE(missing.folders().empty());
}
}  // namespace
