// File dialogs: what the runtime's own chooser lists and answers, and the answers the input
// script gives in the headless backend.
#include "SaveChoice.h"
#include "Scratch.h"
#include "platform/FileChooser.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

namespace fs = std::filesystem;
using kiv::platform::FileChoice;
using kiv::platform::FileChooser;

class FileDialogs : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        for (const char* file : {"b.sav", "a.sav", "notes.txt", ".hidden.sav", "Saves/c.sav"})
            WriteBytes(file, {'x'});
        fs::create_directories(folder / "Archive");
        where = folder.string();
        choice = kiv::test::SaveChoice(where);
    }

    static std::vector<std::string> Names(const FileChooser& chooser) {
        std::vector<std::string> names;
        for (const auto& e : chooser.Entries())
            names.push_back(e.folder ? "[" + e.name + "]" : e.name);
        return names;
    }

    std::string where;
    FileChoice choice;
};

TEST_F(FileDialogs, TheChooserListsThePatternsFilesAfterTheFoldersAndOpensFolders) {
    FileChooser chooser(choice);
    EXPECT_EQ(chooser.Folder(), where);
    EXPECT_EQ(Names(chooser),
              (std::vector<std::string>{"[..]", "[Archive]", "[Saves]", "a.sav", "b.sav"}));
    chooser.Select(4);
    EXPECT_EQ(chooser.Name(), "b.sav");
    chooser.Move(-2); // a folder: the name stays
    EXPECT_EQ(chooser.Selected(), 2);
    EXPECT_EQ(chooser.Name(), "b.sav");
    EXPECT_FALSE(chooser.Confirm()); // opens Saves
    EXPECT_EQ(chooser.Folder(), (folder / "Saves").string());
    EXPECT_EQ(Names(chooser), (std::vector<std::string>{"[..]", "c.sav"}));
    chooser.Select(0);
    EXPECT_FALSE(chooser.Confirm());
    EXPECT_EQ(chooser.Folder(), where);
}

TEST_F(FileDialogs, ATypedNameEndsTheChooserWithTheDefaultExtension) {
    FileChooser chooser(choice);
    EXPECT_FALSE(chooser.Confirm()); // nothing chosen, nothing typed
    chooser.Move(1);
    chooser.Type("Archive"); // typing leaves no entry selected
    EXPECT_EQ(chooser.Selected(), -1);
    EXPECT_FALSE(chooser.Confirm()); // a folder's name opens it
    EXPECT_EQ(chooser.Folder(), (folder / "Archive").string());
    chooser.Type("game1");
    chooser.Erase();
    chooser.Type("2");
    ASSERT_TRUE(chooser.Confirm());
    EXPECT_EQ(chooser.Result(), (folder / "Archive" / "game2.sav").string());

    FileChooser other(choice);
    other.Type("notes.txt"); // a name with an extension keeps it
    ASSERT_TRUE(other.Confirm());
    EXPECT_EQ(other.Result(), (folder / "notes.txt").string());
}

TEST_F(FileDialogs, TheInputScriptAnswersTheHeadlessDialogsInTurn) {
    auto& p = kiv::platform::headless::Install();
    p.ReadScript("2 dialog my saves/first\n"
                 "2 dialog cancel\n"
                 "3 dialog /elsewhere/second.sav\n");
    p.StartPass(1);
    EXPECT_EQ(p.dialogs.ChooseFile(choice), ""); // nothing answered yet: cancelled
    p.StartPass(3);
    EXPECT_EQ(p.dialogs.ChooseFile(choice), where + "/my saves/first.sav");
    EXPECT_EQ(p.dialogs.ChooseFile(choice), "");
    EXPECT_EQ(p.dialogs.ChooseFile(choice), "/elsewhere/second.sav");
    ASSERT_EQ(p.dialogs.Choosers().size(), 4u);
    EXPECT_EQ(p.dialogs.Choosers()[1].answer, where + "/my saves/first.sav");
    EXPECT_EQ(p.dialogs.Choosers()[1].filterName, "Saved Files (*.sav)");
}

} // namespace
