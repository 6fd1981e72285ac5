#include "ControlDescriptions.h"

#include "HomeView.h"
#include "JobTableView.h"
#include "MainWindow.h"
#include "OptionsWindow.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

namespace {
void describe(QWidget* widget, const QString& name, const QString& description) {
    if (widget == nullptr)
        return;
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
    // A spin box hands its focus to its text field: that is what a screen reader reads.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        describe(spin->findChild<QLineEdit*>(), name, description);
}

void describeQuality(QualitySlider* quality) {
    describe(quality->slider(), ControlDescriptions::tr("Quality"),
             ControlDescriptions::tr("Quality of WebP images, in percent"));
    describe(quality->valueLabel(), ControlDescriptions::tr("Quality value"),
             ControlDescriptions::tr("The quality chosen, in percent"));
}

void describeAim(AimOptions* aim) {
    describe(aim->qualityChoice(), ControlDescriptions::tr("Aim for quality"),
             ControlDescriptions::tr("Every image at the quality of the slider"));
    describe(aim->fileSizeChoice(), ControlDescriptions::tr("Aim for a file size"),
             ControlDescriptions::tr(
                 "Each WebP or JPG result as close to this size as it can get, not above"));
    describe(aim->fileSize(), ControlDescriptions::tr("File size in kB"),
             aim->fileSize()->toolTip());
    describe(aim->fidelityChoice(), ControlDescriptions::tr("Aim for a visual fidelity"),
             ControlDescriptions::tr(
                 "The smallest WebP or JPG result that looks this close to its source"));
    describe(aim->fidelity(), ControlDescriptions::tr("Visual fidelity"),
             aim->fidelity()->toolTip());
    describe(aim->limitSide(), aim->limitSide()->text(), aim->limitSide()->toolTip());
    describe(aim->longestSide(), ControlDescriptions::tr("Longest side in pixels"),
             ControlDescriptions::tr("The most pixels a result may have on its longer side"));
    describe(aim->lossless(), aim->lossless()->text(),
             ControlDescriptions::tr(
                 "WebP results keep every pixel of their source; no file size or fidelity "
                 "is aimed at"));
    describe(aim->requireSaving(), aim->requireSaving()->text(), aim->requireSaving()->toolTip());
    describe(
        aim->minimumSaving(), ControlDescriptions::tr("Minimum saving in per cent"),
        ControlDescriptions::tr("How much smaller than its source a result must be to be kept"));
}

void describeAction(QToolBar* toolbar, QAction* action, const QString& description) {
    action->setToolTip(description);
    describe(toolbar->widgetForAction(action), action->iconText(), description);
}
} // namespace

void ControlDescriptions::describeHome(HomeView* home) {
    describe(home->tableView(), tr("Files"),
             tr("The images to convert. Arrows move, Shift and Ctrl extend the selection, Delete "
                "removes the selected files, Enter shows why a file failed."));
    const OptionsBar* bar = home->optionsBar();
    describe(bar->modeBox(), tr("Conversion"), tr("What the files are converted from and to"));
    describeQuality(bar->quality());
    describe(bar->keepDate(), bar->keepDate()->text(), bar->keepDate()->toolTip());
    describe(bar->presetBox()->box(), tr("Preset"),
             tr("Choosing a preset applies its conversion, quality, size limit and other "
                "choices"));
    describe(bar->presetBox()->menuButton(), tr("Preset actions"),
             tr("Saves the current choices as a preset, renames or deletes the chosen one"));
    describe(bar->optionsButton(), tr("Options"), tr("Opens the options window"));
    const RunFooter* footer = home->footer();
    describe(footer->cancelButton(), tr("Cancel"), tr("Stops the conversion (Escape)"));
    describe(footer->startButton(), tr("Start Conversion"),
             tr("Asks for the folder and converts the listed files (Ctrl+Return)"));
    describe(footer->progressBar(), tr("Progress"), tr("How many files are converted so far"));
    describe(footer->statusLabel(), tr("Status"), tr("The files in the list and the last result"));
    describe(bar->aimLine(), tr("Aim"),
             tr("What a conversion aims at besides the quality, as set in the options"));
}

void ControlDescriptions::describeToolbar(MainWindow* window) {
    QToolBar* toolbar = window->toolbar();
    describeAction(toolbar, window->addFilesAction(), tr("Adds image files to the list (Ctrl+O)"));
    describeAction(toolbar, window->addFolderAction(),
                   tr("Adds the images of a folder to the list"));
    describeAction(toolbar, window->clearListAction(), tr("Removes every file from the list"));
    describeAction(toolbar, window->infoAction(), tr("About Tessaro Pro"));
    describeAction(toolbar, window->accountAction(), tr("Log in or show your profile"));
}

void ControlDescriptions::describeOptions(OptionsWindow* window) {
    describe(window->modeBox(), tr("Conversion"), tr("What the files are converted from and to"));
    describeQuality(window->quality());
    describeAim(window->aimOptions());
    describe(window->keepColorProfiles(), window->keepColorProfiles()->text(),
             window->keepColorProfiles()->toolTip());
    describe(window->keepMetadata(), window->keepMetadata()->text(),
             window->keepMetadata()->toolTip());
    describe(window->includeSubfolders(), window->includeSubfolders()->text(),
             tr("Adding a folder also adds the images of the folders inside it; the results "
                "keep the same subfolders"));
    describe(window->saveResults(), tr("Save results"),
             tr("Where the converted images go: a folder asked for at each start, beside each "
                "source image, or always one folder"));
    describe(window->existingResult(), tr("If a result already exists"),
             tr("When a result's name is already taken in the output folder: keep both by "
                "adding a number to the new name, or skip the file"));
    if (auto* buttons = window->findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : buttons->buttons())
            describe(button, button->text().remove(u'&'), tr("Closes the options window"));
    }
}
