// Printer-model restrictions through the library: whichever way the model
// changes (the operator's model combo, a new document, an opened, dropped or
// imported settings file), Job Setup 1 offers exactly that model's choices,
// and every choice the shipped restriction file offers survives a tab change
// and a save and reopen.
#include <array>
#include <filesystem>

#include "dialog_watcher.h"
#include "ui_host.h"

namespace orvox::test {
namespace {

constexpr int kModelCombo = 1065;
constexpr int kExit = 1017;
constexpr int kStacking = 1018;
constexpr int kStapling = 1019;
constexpr int kFold = 1020;
constexpr int kBookletMaker = 0;
constexpr int kFinisher = 1;
constexpr int kPostProcessor = 2;
constexpr int kStacker = 4;
constexpr int kZFold = 1;
constexpr unsigned kFileNew = 0xE100;
constexpr unsigned kFileOpen = 0xE101;

class ModelRestrictionsTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        ASSERT_EQ(createMain(), 0);
        const auto stamp = std::to_string(GetCurrentProcessId());
        const auto temp = std::filesystem::temp_directory_path();
        model0File_ = (temp / ("orvox-model0-" + stamp + ".ovx")).string();
        model1File_ = (temp / ("orvox-model1-" + stamp + ".ovx")).string();
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove(model0File_, ec);
        std::filesystem::remove(model1File_, ec);
        UiHost::TearDown();
    }

    HWND printers() const { return pageWith(kModelCombo); }
    HWND setup1() const { return pageWith(1152); }

    static void command(HWND page, int id, int code)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static void choose(HWND page, int id, int index)
    {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        command(page, id, CBN_SELCHANGE);
    }
    int shownModel() const { return selected(printers(), kModelCombo); }

    // The operator picks a model in the Printers page's combo and moves on to Job Setup 1.
    void operatorChoosesModel(int model)
    {
        pressCtrl('1');
        hookLog().answer = IDOK;
        choose(printers(), kModelCombo, model);
        pressCtrl('3');
        ASSERT_EQ(shownModel(), model);
    }

    // What Job Setup 1 offers on model 1: no booklet maker, no post-processor, no Z-fold.
    void expectModel1Choices(const char* path)
    {
        SCOPED_TRACE(path);
        EXPECT_EQ(shownModel(), 1);
        pressCtrl('3');
        HWND page = setup1();
        ASSERT_NE(page, nullptr);
        choose(page, kExit, kBookletMaker);
        EXPECT_NE(selected(page, kExit), kBookletMaker) << "\"Booklet maker\" is withdrawn";
        choose(page, kExit, kPostProcessor);
        EXPECT_NE(selected(page, kExit), kPostProcessor) << "\"Post-processor\" is withdrawn";
        choose(page, kExit, kFinisher);
        ASSERT_EQ(selected(page, kExit), kFinisher);
        ASSERT_TRUE(enabled(page, kFold)) << "the finisher folds";
        choose(page, kFold, kZFold);
        EXPECT_NE(selected(page, kFold), kZFold) << "\"Z-fold\" is withdrawn";
    }

    // Model 0 offers them all again.
    void expectModel0Choices(const char* path)
    {
        SCOPED_TRACE(path);
        EXPECT_EQ(shownModel(), 0);
        pressCtrl('3');
        HWND page = setup1();
        ASSERT_NE(page, nullptr);
        choose(page, kExit, kPostProcessor);
        EXPECT_EQ(selected(page, kExit), kPostProcessor) << "\"Post-processor\" is offered";
        choose(page, kExit, kBookletMaker);
        EXPECT_EQ(selected(page, kExit), kBookletMaker) << "\"Booklet maker\" is offered";
        ASSERT_TRUE(enabled(page, kFold)) << "the booklet maker folds";
        choose(page, kFold, kZFold);
        EXPECT_EQ(selected(page, kFold), kZFold) << "\"Z-fold\" is offered";
        // Back to a job that passes the checks of Open and Save As.
        choose(page, kExit, kStacker);
        ASSERT_EQ(selected(page, kExit), kStacker);
    }

    // Settings files of either model, saved as the operator left them.
    void saveModelFiles()
    {
        operatorChoosesModel(1);
        ASSERT_EQ(orvox.SaveSettings(model1File_.c_str()), 0);
        operatorChoosesModel(0);
        ASSERT_EQ(orvox.SaveSettings(model0File_.c_str()), 0);
    }

    // A menu command as the host routes it; the save question is answered No.
    void menuCommand(unsigned id, int expectedModel)
    {
        hookLog().answer = IDNO;
        ASSERT_EQ(orvox.SendMessage(WM_COMMAND, id, 0), 0);
        std::string said;
        const bool switched = pumpUntil([&] { return shownModel() == expectedModel; });
        for (const auto& box : hookLog().boxes) said += box.text + "\n";
        for (const auto& title : hookLog().titles) said += title + "\n";
        EXPECT_TRUE(switched) << said;
        pumpUntil([] { return false; }, 100);
        hookLog().answer = IDOK;
    }

    int importModel(const char* keyword)
    {
        int line = -1;
        const std::string xml =
            std::string("<PRINTER_SETTINGS><PRINTER_MODEL>") + keyword + "</PRINTER_MODEL></PRINTER_SETTINGS>";
        return orvox.OpenXMLSettings(xml.c_str(), &line);
    }

    std::string model0File_;
    std::string model1File_;
};

TEST_F(ModelRestrictionsTest, TheOperatorsModelChoiceWithdrawsAndReturnsChoices)
{
    expectModel0Choices("start");
    operatorChoosesModel(1);
    expectModel1Choices("model combo");
    operatorChoosesModel(0);
    expectModel0Choices("model combo");
}

TEST_F(ModelRestrictionsTest, ALongItemListInTheModelsFileIsReadAndApplied)
{
    ASSERT_EQ(orvox.Exit(1), 0);
    // Only the printer name is limited; an item list may run longer.
    std::string items = "3";
    while (items.size() + 3 <= 279) items += ", 4";
    items.resize(279, ' ');
    FileRestorer models(resourceString(389));
    models.write("WPrinterID=IDS_PRINTER_SELVO\r\n"
                 "WCtrlID=1019\r\nWTabID=2617\r\nType=0\r\nState=1\r\nDisabledItems=" + items + "\r\n");
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    ASSERT_EQ(createMain(), 0);
    pressCtrl('3');
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, kExit, kFinisher);
    ASSERT_TRUE(enabled(page, kStapling));
    choose(page, kStapling, 1);
    EXPECT_EQ(selected(page, kStapling), 1);
    choose(page, kStapling, 3);
    EXPECT_NE(selected(page, kStapling), 3) << "withdrawn by the long list";
    choose(page, kStapling, 4);
    EXPECT_NE(selected(page, kStapling), 4) << "withdrawn by the long list";
}

TEST_F(ModelRestrictionsTest, ANewDocumentBringsModel0sChoicesBack)
{
    operatorChoosesModel(1);
    expectModel1Choices("model combo");
    ASSERT_EQ(orvox.NewSettings(), 0);
    expectModel0Choices("Orvo_NewSettings");

    operatorChoosesModel(1);
    menuCommand(kFileNew, 0);
    expectModel0Choices("menu New");
}

TEST_F(ModelRestrictionsTest, OpenedSettingsFilesBringTheirModelsRestrictions)
{
    saveModelFiles();
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 6);
    ASSERT_EQ(orvox.OpenSettings(model1File_.c_str()), 0);
    expectModel1Choices("Orvo_OpenSettings");
    ASSERT_EQ(orvox.OpenSettings(model0File_.c_str()), 0);
    expectModel0Choices("Orvo_OpenSettings");

    DialogWatcher dialogs;
    dialogs.answerFileDialogWith(model1File_);
    menuCommand(kFileOpen, 1);
    EXPECT_EQ(dialogs.fileDialogs(), 1);
    expectModel1Choices("menu Open");
    // Without the colour mapping page, model 1's free-form colour would stop the page checks of Open.
    HWND setup2 = pageWith(1011);
    ASSERT_NE(setup2, nullptr);
    CheckDlgButton(setup2, 1094, BST_UNCHECKED);
    command(setup2, 1094, BN_CLICKED);
    dialogs.answerFileDialogWith(model0File_);
    menuCommand(kFileOpen, 0);
    expectModel0Choices("menu Open");
}

TEST_F(ModelRestrictionsTest, DroppedSettingsFilesBringTheirModelsRestrictions)
{
    saveModelFiles();
    dropFiles(main_, {model1File_});
    expectModel1Choices("dropped file");
    dropFiles(main_, {model0File_});
    expectModel0Choices("dropped file");
}

TEST_F(ModelRestrictionsTest, AnImportedModelBringsItsRestrictions)
{
    ASSERT_EQ(importModel("ID_PRINTERMODEL_OTHER"), 0);
    expectModel1Choices("XML");
    ASSERT_EQ(importModel("ID_PRINTERMODEL_SELVO"), 0);
    expectModel0Choices("XML");
}

// Every exit, stacking, stapling and fold choice that a model of the shipped
// restriction file lets the operator make is still there after a tab change
// and after the settings were saved and opened again.
TEST_F(ModelRestrictionsTest, EveryChoiceTheShippedModelsOfferIsKept)
{
    const std::string file = model1File_;
    for (int model : {0, 1}) {
        operatorChoosesModel(model);
        HWND page = setup1();
        ASSERT_NE(page, nullptr);
        int kept = 0;
        for (int exit = 0; exit < 7; ++exit) {
            choose(page, kExit, exit);
            if (selected(page, kExit) != exit) continue;  // not offered on this model
            // The booklet maker of model 0 always saddle-stitches and folds: only the exit is the operator's.
            const bool finishingIsOperators = model != 0 || exit != kBookletMaker;
            for (int control : {0, kStacking, kStapling, kFold}) {
                const int items = control ? static_cast<int>(SendDlgItemMessageA(page, control, CB_GETCOUNT, 0, 0)) : 1;
                for (int item = 0; item < items; ++item) {
                    choose(page, kExit, exit);
                    if (control) {
                        if (!finishingIsOperators || !enabled(page, control)) break;
                        choose(page, control, item);
                        if (selected(page, control) != item) continue;  // withdrawn by the model
                    }
                    const std::array<int, 4> chosen = {selected(page, kExit), selected(page, kStacking),
                                                       selected(page, kStapling), selected(page, kFold)};
                    const std::string what = "model " + std::to_string(model) + " exit " + std::to_string(exit) +
                                             " control " + std::to_string(control) + " item " + std::to_string(item);
                    pressCtrl('2');
                    pressCtrl('3');
                    const std::array<int, 4> afterTabs = {selected(page, kExit), selected(page, kStacking),
                                                          selected(page, kStapling), selected(page, kFold)};
                    EXPECT_EQ(afterTabs, chosen) << what << " after a tab change";
                    ASSERT_EQ(orvox.SaveSettings(file.c_str()), 0);
                    ASSERT_EQ(orvox.NewSettings(), 0);
                    ASSERT_EQ(orvox.OpenSettings(file.c_str()), 0);
                    pressCtrl('3');
                    const std::array<int, 4> reopened = {selected(page, kExit), selected(page, kStacking),
                                                         selected(page, kStapling), selected(page, kFold)};
                    EXPECT_EQ(reopened, chosen) << what << " after save and open";
                    EXPECT_EQ(shownModel(), model) << what;
                    ++kept;
                }
            }
        }
        EXPECT_GT(kept, 10) << "model " << model;
    }
    // Model 1 folds: saddle fold with saddle stitch, out of the finisher.
    operatorChoosesModel(1);
    HWND page = setup1();
    choose(page, kExit, kFinisher);
    choose(page, kFold, 2);
    EXPECT_EQ(selected(page, kFold), 2);
    EXPECT_EQ(selected(page, kStapling), 5);
}

} // namespace
} // namespace orvox::test
