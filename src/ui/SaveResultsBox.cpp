#include "SaveResultsBox.h"

#include "Preferences.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSignalBlocker>

namespace {

void folderPanel(QWidget* parent, const QString& startFolder,
                 const SaveResultsBox::FolderReply& reply) {
    auto* panel =
        new QFileDialog(parent, SaveResultsBox::tr("Always save the results in"), startFolder);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    QObject::connect(panel, &QDialog::finished, panel, [panel, reply](int result) {
        const QStringList chosen = panel->selectedFiles();
        reply(result == QDialog::Accepted && !chosen.isEmpty() ? chosen.constFirst() : QString());
    });
    panel->open();
}

} // namespace

SaveResultsBox::SaveResultsBox(QWidget* parent) : QComboBox(parent) {
    chooseFolder = folderPanel;
    setObjectName(QStringLiteral("saveResults"));
    addItem(tr("Ask each time"), QVariant::fromValue(static_cast<int>(SaveResults::Ask)));
    addItem(tr("Next to each source"),
            QVariant::fromValue(static_cast<int>(SaveResults::NextToSource)));
    addItem(QString(), QVariant::fromValue(static_cast<int>(SaveResults::Folder)));
    showStored();
    connect(this, &QComboBox::activated, this, &SaveResultsBox::picked);
}

void SaveResultsBox::picked(int index) {
    const auto place = static_cast<SaveResults>(itemData(index).toInt());
    if (place != SaveResults::Folder) {
        Preferences::instance().setSaveResults(place);
        return;
    }
    showStored(); // until the panel answers
    if (!chooseFolder)
        return;
    QPointer<SaveResultsBox> self(this);
    chooseFolder(window(), Preferences::instance().resultsFolder(), [self](const QString& folder) {
        if (self == nullptr)
            return;
        if (!folder.isEmpty()) {
            Preferences::instance().setResultsFolder(QDir::cleanPath(folder));
            Preferences::instance().setSaveResults(SaveResults::Folder);
        }
        self->showStored();
    });
}

void SaveResultsBox::showStored() {
    const Preferences& preferences = Preferences::instance();
    const QString folder = preferences.resultsFolder();
    setItemText(2, folder.isEmpty() ? tr("Always in a folder…")
                                    : tr("Always in %1…").arg(QDir::toNativeSeparators(folder)));
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(static_cast<int>(preferences.saveResults())));
}
