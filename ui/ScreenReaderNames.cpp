#include "ui/ScreenReaderNames.h"

#include "framework/Accessibility.h"
#include "framework/Buttons.h"
#include "framework/Labels.h"
#include "framework/StdCtrls.h"
#include "ui/Main.h"
#include "ui/MainTexts.h"
#include "ui/NAbout.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QLabel>

namespace quorvane {

namespace {

// The words the about box's slogan spells out with spaces between the
// letters for its look; read letter by letter it would be lost.
constexpr const char* kSpokenSloganFirstLine = "Wieder ein Programm";
constexpr const char* kSpokenSloganSecondLine = "aus gutem Hause";
constexpr const char* kMakerName = "Quorvane";

}  // namespace

void NameForScreenReaders(TFormMain& form)
{
    using namespace maintexts;
    SetAccessibleWindowRole(form, TWindowRole::Frame);
    NameAfterLabel(*form.Edit1, *form.Label1);
    NameAfterLabel(*form.SpinEdit1, *form.Label2);
    NameAfterLabel(*form.Edit2, *form.Label3);
    NameAfterLabel(*form.Edit3, *form.Label4);
    NameAfterLabel(*form.Edit4, *form.Label5);
    form.DriveComboBox1->setAccessibleName(QString::fromUtf8(kDriveListName));
    form.DirectoryListBox1->setAccessibleName(QString::fromUtf8(kFolderListName));
    form.StringGrid1->setAccessibleName(QString::fromUtf8(kStructureGridName));
    form.StringGrid2->setAccessibleName(QString::fromUtf8(kResultGridName));
}

void NameForScreenReaders(TNormalAboutBox& box)
{
    SetAccessibleWindowRole(box, TWindowRole::Dialog);
    SetSpokenText(*box.Description2, kSpokenSloganFirstLine);
    SetSpokenText(*box.Description4, kSpokenSloganSecondLine);
    PublishAsLink(*box.Label4);
    PublishAsLink(*box.Label5);
    // The logo is a picture of the maker's name; the program icons beside
    // the title stay unnamed pictures, as they add nothing to the title.
    box.SpeedButton1->setAccessibleName(QString::fromUtf8(kMakerName));
}

}  // namespace quorvane
