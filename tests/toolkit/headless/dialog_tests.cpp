#include <deque>
#include <fstream>

#include "headless_fixture.h"
#include "tk/dialog.h"

using tk::ControlKind;
using tk::common::MissingAnswer;
using tk::common::ScriptError;

namespace {

tk::ControlTemplate control(int id, ControlKind kind, std::string text = {}, unsigned style = 0,
                            std::size_t limit = 0) {
    tk::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.style = style;
    c.textLimit = limit;
    return c;
}

// A dialog that records what it is told and reads its values on OK.
class RecordingDialog : public tk::Dialog {
public:
    using tk::Dialog::Dialog;
    std::function<void(RecordingDialog&)> init;
    std::function<bool(RecordingDialog&)> accept;  // false keeps the dialog open
    std::function<void(RecordingDialog&, int, int)> commanded;
    std::vector<std::pair<int, int>> commands;
    std::vector<int> destroyedWith;

    bool onInit() override {
        if (init) init(*this);
        return true;
    }
    void onCommand(int id, int code) override {
        commands.emplace_back(id, code);
        if (commanded) commanded(*this, id, code);
    }
    void onOK() override {
        if (!accept || accept(*this)) endDialog(tk::IDOK);
    }
    void onDestroyed(int code) override { destroyedWith.push_back(code); }
};

tk::DialogTemplate symbolTemplate() {
    return {103,
            "New Symbol",
            {},
            {control(tk::IDC_STATIC, ControlKind::Static, "Symbol Name"), control(1000, ControlKind::Edit),
             control(1002, ControlKind::Edit, "", 0, 5), control(1018, ControlKind::Edit, "0"),
             control(1029, ControlKind::CheckBox, "  Search Sub-Entities"),
             control(1030, ControlKind::DefPushButton, "MODIFY"), control(1042, ControlKind::PushButton, "Restore"),
             control(1, ControlKind::PushButton, "OK"), control(2, ControlKind::PushButton, "Cancel")}};
}

}  // namespace

using DialogTest = HeadlessTest;

TEST_F(DialogTest, ValidationKeepsTheDialogOpenWithThePlatformsMessages) {
    RecordingDialog dialog(symbolTemplate());
    std::optional<float> rotation;
    dialog.accept = [&](RecordingDialog& d) {
        if (!d.checkMaxChars(1000, 128)) return false;
        rotation = d.readFloat(1018, -1.0f, 360.0f);
        return rotation.has_value();
    };
    script({"@edit 1000 \"" + std::string(129, 'x') + "\"", "@ok", "@ok",  // too long: message, dialog stays
            "@edit 1000 Door", "@edit 1018 abc", "@click 1", "@ok",        // not a number
            "@edit 1018 -1.5", "@click 1", "@ok",                          // out of range
            "@edit 1002 abcdefgh",                                         // cut at the limit of 5
            "@edit 1018 \" -1 \"", "@click 1"});
    EXPECT_EQ(dialog.runModal(nullptr), tk::IDOK);
    EXPECT_EQ(rotation, -1.0f);
    EXPECT_TRUE(shown(
        "[message box] \"TUV Windows Application\" \"Please enter no more than 128 characters.\" [OK]"));
    EXPECT_TRUE(shown("[message box] \"TUV Windows Application\" \"Please enter a number.\" [OK]"));
    EXPECT_TRUE(shown("[message box] \"TUV Windows Application\" \"Please enter a number between -1 and 360.\" [OK]"));
    EXPECT_TRUE(shown("[dialog 103] edit 1002 \"abcde\""));
    EXPECT_TRUE(shown("[dialog 103] close 1"));
    EXPECT_EQ(answers.remaining(), 0u);
}

TEST_F(DialogTest, EditsNotifyAndCutMultibyteTextAtACharacter) {
    RecordingDialog dialog(symbolTemplate());
    std::string seen;
    dialog.accept = [&](RecordingDialog& d) {
        seen = d.itemText(1002);
        return true;
    };
    script({"@edit 1002 \"abcdé\"", "@ok"});  // é is two bytes; five bytes hold "abcd"
    EXPECT_EQ(dialog.runModal(nullptr), tk::IDOK);
    EXPECT_EQ(seen, "abcd");
    EXPECT_EQ(dialog.commands, (std::vector<std::pair<int, int>>{{1002, tk::EN_CHANGE}}));
}

TEST_F(DialogTest, EscapeCustomCodesAndTheDefaultButtonEndTheDialog) {
    {
        RecordingDialog dialog(symbolTemplate());
        script({"@escape"});
        EXPECT_EQ(dialog.runModal(nullptr), tk::IDCANCEL);
        EXPECT_EQ(dialog.destroyedWith, std::vector<int>{2});
        EXPECT_FALSE(dialog.isOpen());
    }
    {
        RecordingDialog dialog(symbolTemplate());
        dialog.commanded = [](RecordingDialog& d, int id, int) { d.endDialog(id == 1042 ? 1042 : 360); };
        script({"@click 1042"});
        EXPECT_EQ(dialog.runModal(nullptr), 1042);
    }
    {
        RecordingDialog dialog(symbolTemplate());
        dialog.commanded = [](RecordingDialog& d, int id, int) { d.endDialog(id); };
        script({"@enter"});  // the default button is MODIFY
        EXPECT_EQ(dialog.runModal(nullptr), 1030);
    }
}

TEST_F(DialogTest, ListsKeepOrderSelectionAndItemData) {
    tk::DialogTemplate t{102,
                         "ZAN Layer Configuration",
                         {},
                         {control(1014, ControlKind::ListBox, "ZAN Modifiers", tk::kSorted | tk::kExtendedSelection),
                          control(1036, ControlKind::ListBox, "Existing", tk::kSorted | tk::kNotify),
                          control(1052, ControlKind::DropDownList, "UCS:", tk::kSorted),
                          control(1, ControlKind::DefPushButton, "OK")}};
    RecordingDialog dialog(t);
    dialog.init = [](RecordingDialog& d) {
        EXPECT_FALSE(d.listReserve(1, 10));     // a button holds no lines
        EXPECT_TRUE(d.listReserve(1014, 100));  // room only: no line yet
        EXPECT_EQ(d.listCount(1014), 0);
        d.listAdd(1014, "b", 2);
        d.listAdd(1014, "A", 1);
        d.listAdd(1014, "c", 3);
        d.listAdd(1014, "B", 4);  // equal ignoring case: after "b"
        // Lines added at once land where adding them one by one puts them,
        // also when they come out of the list's order.
        const char* const names[] = {"Second", "First"};
        auto line = [&](std::size_t i) { return tk::ListLine{names[i], 10}; };
        EXPECT_EQ(d.listAddLines(1, 2, line), -1);
        EXPECT_EQ(d.listAddLines(1036, 2, line), 2);
        EXPECT_EQ(d.listText(1036, 0), "First");
        EXPECT_EQ(d.listTexts(1036), (std::vector<std::string>{"First", "Second"}));
        EXPECT_TRUE(d.listTexts(1).empty());
        d.listInsert(1052, -1, "World");
        d.listInsert(1052, 0, "Front");  // inserting does not sort
    };
    std::vector<int> selected;
    std::vector<tk::ItemData> data;
    std::string ucs;
    dialog.accept = [&](RecordingDialog& d) {
        selected = d.listSelection(1014);
        for (int i : selected) data.push_back(d.listData(1014, i));
        ucs = d.itemText(1052);
        EXPECT_EQ(d.listFind(1014, "a"), -1);  // finding is case-sensitive
        EXPECT_EQ(d.listFind(1014, "B"), 2);
        EXPECT_TRUE(d.listDelete(1036, d.listCurrent(1036)));
        EXPECT_EQ(d.listCurrent(1036), -1);
        return true;
    };
    script({"@select 1014 A B c", "@select 1036 First", "@select 1052 World", "@ok"});
    EXPECT_EQ(dialog.runModal(nullptr), tk::IDOK);
    EXPECT_TRUE(shown("[dialog 102]   listbox 1014 \"ZAN Modifiers\" sorted extended = [\"A\", \"b\", \"B\", \"c\"]"));
    EXPECT_TRUE(shown("[dialog 102]   listbox 1014 \"ZAN Modifiers\" sorted extended = [*\"A\", \"b\", *\"B\", *\"c\"]"));
    EXPECT_TRUE(shown("[dialog 102]   dropdown 1052 \"UCS:\" sorted = [\"Front\", \"World\"]"));
    EXPECT_EQ(selected, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(data, (std::vector<tk::ItemData>{1, 4, 3}));
    EXPECT_EQ(ucs, "World");
    // Only the notifying list and the drop-down list report the change.
    EXPECT_EQ(dialog.commands, (std::vector<std::pair<int, int>>{{1036, tk::LBN_SELCHANGE}, {1052, tk::CBN_SELCHANGE}}));
}

TEST_F(DialogTest, RadioButtonsClearOnlyTheirGroup) {
    tk::DialogTemplate t{102,
                         "Options",
                         {},
                         {control(tk::IDC_STATIC, ControlKind::GroupBox, "Options for Undefined Layers"),
                          control(1033, ControlKind::RadioButton, "No Action", tk::kGroup),
                          control(1034, ControlKind::RadioButton, "Freeze"),
                          control(1035, ControlKind::RadioButton, "Thaw"),
                          control(1040, ControlKind::RadioButton, "Other", tk::kGroup),
                          control(1050, ControlKind::CheckBox, "Flag", tk::kGroup),
                          control(1, ControlKind::DefPushButton, "OK")}};
    RecordingDialog dialog(t);
    dialog.init = [](RecordingDialog& d) {
        d.checkRadioButton(1033, 1035, 1033);
        d.setChecked(1040, true);
    };
    int option = 0;
    bool other = false, flag = false;
    dialog.accept = [&](RecordingDialog& d) {
        option = d.checkedRadioButton(1033, 1035);
        other = d.isChecked(1040);
        flag = d.isChecked(1050);
        return true;
    };
    script({"@radio 1035", "@click 1034", "@check 1050 on", "@check 1050 on", "@ok"});
    EXPECT_EQ(dialog.runModal(nullptr), tk::IDOK);
    EXPECT_EQ(option, 1034);
    EXPECT_TRUE(other);
    EXPECT_TRUE(flag);
    // The second "@check ... on" changed nothing and told nobody.
    EXPECT_EQ(dialog.commands, (std::vector<std::pair<int, int>>{
                                   {1035, tk::BN_CLICKED}, {1034, tk::BN_CLICKED}, {1050, tk::BN_CLICKED}}));
}

TEST_F(DialogTest, LinesThatDoNotFitAreScriptErrors) {
    for (const std::string line : {"@select 1000 x", "@click 1234", "@radio 1029", "@yes", "@check 1029 maybe",
                                   "@edit 1000 \"open", "@frobnicate"}) {
        tk::headless::HeadlessPlatform fresh;
        tk::installPlatform(&fresh);
        tk::common::ScriptedAnswers lines{line};
        fresh.setAnswerSource(&lines);
        RecordingDialog dialog(symbolTemplate());
        EXPECT_THROW(dialog.runModal(nullptr), ScriptError) << line;
        EXPECT_FALSE(dialog.isOpen());
        EXPECT_FALSE(fresh.failure().empty());
    }
    tk::installPlatform(&platform);
}

TEST_F(DialogTest, DisabledAndHiddenControlsTakeNoInput) {
    RecordingDialog dialog(symbolTemplate());
    dialog.init = [](RecordingDialog& d) {
        d.enableItem(1042, false);
        d.showItem(1029, false);
    };
    script({"@click 1042"});
    try {
        dialog.runModal(nullptr);
        FAIL() << "a disabled button was clicked";
    } catch (const ScriptError& e) {
        EXPECT_STREQ(e.what(), "\"@click 1042\": control 1042 is disabled");
    }
}

TEST_F(DialogTest, AModelessEditorWorksBesideAModalDialog) {
    tk::DialogTemplate editorTemplate{102,
                                      "ZAN Layer Configuration",
                                      {},
                                      {control(1032, ControlKind::Edit), control(1, ControlKind::DefPushButton, "OK"),
                                       control(2, ControlKind::PushButton, "Cancel")}};
    tk::DialogTemplate selectionTemplate{122,
                                         "Layer Configuration Selection",
                                         {},
                                         {control(1036, ControlKind::ListBox, "Existing", tk::kSorted | tk::kNotify),
                                          control(1038, ControlKind::PushButton, "New..."),
                                          control(1, ControlKind::DefPushButton, "OK")}};
    std::unique_ptr<RecordingDialog> editor;
    RecordingDialog selection(selectionTemplate);
    selection.commanded = [&](RecordingDialog& d, int id, int) {
        if (id != 1038) return;
        if (editor && editor->isOpen()) {  // one editor at a time: bring it forward
            editor->bringToFront();
            return;
        }
        editor = std::make_unique<RecordingDialog>(editorTemplate);
        editor->accept = [&d](RecordingDialog& e) {
            d.listAdd(1036, e.itemText(1032));  // the editor reports to its owner
            return true;
        };
        ASSERT_TRUE(editor->openModeless(nullptr));
    };
    script({"@click 1038", "@edit 1032 \"Ground floor\"", "@activate 122", "@click 1038", "@edit 1032 \"Ground floor\"",
            "@activate \"zan layer configuration\"", "@click 1", "@select 1036 \"Ground floor\"", "@ok"});
    EXPECT_EQ(selection.runModal(nullptr), tk::IDOK);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->destroyedWith, std::vector<int>{1});
    EXPECT_TRUE(shown("[dialog 102] open modeless \"ZAN Layer Configuration\""));
    EXPECT_TRUE(shown("[dialog 122]   listbox 1036 \"Existing\" sorted notify = [\"Ground floor\"]"));
    EXPECT_TRUE(shown("[dialog 102] front"));
    EXPECT_LT(position("[dialog 102] close 1"), position("[dialog 122] close 1"));
}

TEST_F(DialogTest, AnOpenModelessDialogTakesIdleLines) {
    tk::DialogTemplate t{102, "Editor", {}, {control(1032, ControlKind::Edit), control(2, ControlKind::PushButton, "Cancel")}};
    RecordingDialog editor(t);
    ASSERT_TRUE(editor.openModeless(nullptr));
    std::string error;
    EXPECT_TRUE(platform.performUiLine("@edit 1032 x", error)) << error;
    EXPECT_EQ(editor.itemText(1032), "x");
    EXPECT_FALSE(platform.performUiLine("@yes", error));
    EXPECT_EQ(error, "\"@yes\": no message box, file dialog or dialog waits for an answer");
    EXPECT_TRUE(platform.performUiLine("@click 2", error)) << error;
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(editor.destroyedWith, std::vector<int>{2});
    EXPECT_FALSE(platform.performUiLine("@edit 1032 y", error));
    EXPECT_EQ(error, "\"@edit 1032 y\": no dialog is open");
}

TEST_F(DialogTest, MessageBoxesTakeTheirAnswers) {
    script({"@yes", "@no", "@ok", "@escape", "@Cancel"});
    EXPECT_EQ(platform.messageBox(nullptr, "Are you sure you want to copy configuration A ?", "", tk::MB_YESNO), tk::IDYES);
    EXPECT_EQ(platform.messageBox(nullptr, "Save changes to Modifier Bar?", "", tk::MB_YESNO), tk::IDNO);
    EXPECT_EQ(platform.messageBox(nullptr, "Line one.\n Line two", "Title", tk::MB_OK | tk::MB_ICONEXCLAMATION), tk::IDOK);
    EXPECT_EQ(platform.messageBox(nullptr, "Escape on OK", "", tk::MB_OK), tk::IDOK);
    EXPECT_EQ(platform.messageBox(nullptr, "Three", "", tk::MB_YESNOCANCEL), tk::IDCANCEL);
    EXPECT_TRUE(shown("[message box] \"Title\" \"Line one.\\n Line two\" [OK]"));
    EXPECT_TRUE(shown("[message box] \"TUV Windows Application\" \"Save changes to Modifier Bar?\" [Yes/No]"));
    EXPECT_TRUE(shown("[message box] -> No"));
}

TEST_F(DialogTest, AWrongAnswerToAMessageBoxIsAScriptError) {
    script({"@yes"});
    try {
        platform.messageBox(nullptr, "There is no layer configuration selected.", "", tk::MB_OK);
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_STREQ(e.what(),
                     "\"@yes\" does not answer the message box \"There is no layer configuration selected.\" (buttons: OK)");
    }
}

TEST_F(DialogTest, AnEmptyScriptStopsAtTheFirstModalElement) {
    try {
        platform.messageBox(nullptr, "Cannot delete levels while levelbar is active.", "", tk::MB_OK);
        FAIL();
    } catch (const MissingAnswer& e) {
        EXPECT_STREQ(e.what(),
                     "the script has no answer for the message box \"Cannot delete levels while levelbar is active.\"");
    }
    // Later elements fail at once, even when lines arrive afterwards.
    script({"@escape"});
    RecordingDialog dialog(symbolTemplate());
    EXPECT_THROW(dialog.runModal(nullptr), MissingAnswer);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.destroyedWith, std::vector<int>{2});
}

TEST_F(DialogTest, AModalDialogWithoutAnswersNamesItself) {
    RecordingDialog dialog(symbolTemplate());
    try {
        dialog.runModal(nullptr);
        FAIL();
    } catch (const MissingAnswer& e) {
        EXPECT_STREQ(e.what(), "the script has no answer for the dialog \"New Symbol\"");
    }
    EXPECT_TRUE(shown("[dialog 103] close 2"));
}

TEST_F(DialogTest, FileDialogsResolveNamesAndCheckFlags) {
    TemporaryDirectory dir;
    std::ofstream(dir / "existing.Zmb") << "LEVELS\n";
    tk::FileDialogRequest request;
    request.title = "Select ZAN Modifier Bar";
    request.filter = "Modifier Bar (*.Zmb)|*.Zmb||";
    request.defaultExtension = "Zmb";
    request.initialDirectory = dir.path();
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_FILEMUSTEXIST | tk::OFN_PATHMUSTEXIST;
    script({"@file missing", "@file existing", "@cancel", "@file " + dir / "new.bmp"});
    EXPECT_EQ(platform.openFileDialog(request), dir / "existing.Zmb");
    EXPECT_TRUE(shown("[open file] \"" + dir / "missing.Zmb" + "\" does not exist"));
    EXPECT_EQ(platform.openFileDialog(request), std::nullopt);
    request.flags = tk::OFN_OVERWRITEPROMPT;
    EXPECT_EQ(platform.saveFileDialog(request), dir / "new.bmp");
    EXPECT_TRUE(shown("[save file] -> \"" + dir / "new.bmp" + "\""));
}

TEST_F(DialogTest, DirectoryListsShowTheRootDriveAndSubdirectories) {
    TemporaryDirectory dir;
    for (const char* sub : {"b", "A", ".hidden", "A/inner"}) std::filesystem::create_directory(dir / sub);
    std::ofstream(dir / "file.txt") << "x";
    tk::DialogTemplate t{130,
                         "Path Selection",
                         {},
                         {control(1011, ControlKind::DropDownList, "Drive:", tk::kSorted),
                          control(1013, ControlKind::Edit), control(1012, ControlKind::ListBox, "Directory:", tk::kSorted | tk::kNotify),
                          control(1, ControlKind::DefPushButton, "OK"), control(2, ControlKind::PushButton, "Cancel")}};
    RecordingDialog dialog(t);
    std::vector<std::string> lines;
    dialog.init = [&](RecordingDialog& d) {
        ASSERT_TRUE(d.fillDriveList(1011));
        ASSERT_TRUE(d.fillDirectoryList(1012, dir.path(), 1013));
    };
    dialog.commanded = [&](RecordingDialog& d, int id, int code) {
        if (id == 1012 && code == tk::LBN_DBLCLK) {
            ASSERT_TRUE(d.fillDirectoryList(1012, *tk::directoryNameOf(d.listText(1012, d.listCurrent(1012))), 1013));
        }
    };
    dialog.accept = [&](RecordingDialog& d) {
        for (int i = 0; i < d.listCount(1012); ++i) lines.push_back(d.listText(1012, i));
        EXPECT_EQ(d.listText(1011, 0), "[-/-]");
        EXPECT_EQ(d.itemText(1013), dir / "A");
        EXPECT_FALSE(d.fillDirectoryList(1012, "no-such-dir", 1013));
        return true;
    };
    script({"@dblclick 1012 [A]", "@ok"});
    EXPECT_EQ(dialog.runModal(nullptr), tk::IDOK);
    EXPECT_TRUE(shown("[dialog 130]   listbox 1012 \"Directory:\" sorted notify = [\"[..]\", \"[A]\", \"[b]\"]"));
    EXPECT_EQ(lines, (std::vector<std::string>{"[..]", "[inner]"}));
    EXPECT_EQ(tk::driveRootOf("[-/-]"), "/");
    EXPECT_EQ(platform.listDirectory("/")->entries.front().substr(0, 1), "[");
    EXPECT_NE(platform.listDirectory("/")->entries.front(), "[..]");
}

// A user at a terminal is told why an answer does not fit and asked again,
// for every kind of modal element; the run does not fail.
TEST_F(DialogTest, AtATerminalAnAnswerThatDoesNotFitIsRefusedAndAskedAgain) {
    struct Typed : tk::common::UiAnswerSource {
        std::deque<std::string> lines;
        std::optional<std::string> takeUiLine() override {
            if (lines.empty()) return std::nullopt;
            std::string line = lines.front();
            lines.pop_front();
            return line;
        }
        bool asksAgain() const override { return true; }
    } typed;
    platform.setAnswerSource(&typed);
    typed.lines = {"@yes", "@", "@ok"};
    EXPECT_EQ(platform.messageBox(nullptr, "Only OK.", "", tk::MB_OK), tk::IDOK);
    EXPECT_TRUE(shown("Refused: \"@yes\" does not answer the message box \"Only OK.\" (buttons: OK). Answer again."));
    EXPECT_EQ(all().find("Refused: \"@\""), all().rfind("Refused: \"@\""));

    typed.lines = {"@ok", "@file", "@cancel"};
    tk::FileDialogRequest request;
    request.title = "Open";
    EXPECT_EQ(platform.openFileDialog(request), std::nullopt);
    EXPECT_NE(all().find("does not answer the open file dialog \"Open\""), std::string::npos);

    typed.lines = {"@click 1234", "@yes", "@escape"};
    RecordingDialog dialog(symbolTemplate());
    dialog.runModal(nullptr);
    EXPECT_NE(all().find("Refused: \"@click 1234\":"), std::string::npos);
    EXPECT_NE(all().find("Refused: \"@yes\": no message box or file dialog waits"), std::string::npos);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(platform.failure().empty());
    platform.setAnswerSource(&answers);
}
