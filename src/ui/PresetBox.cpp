#include "PresetBox.h"

#include "PresetFile.h"
#include "Theme.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QMenu>
#include <QSignalBlocker>

namespace {

void namePanel(QWidget* parent, const QString& title, const QString& name,
               const PresetBox::NameReply& reply) {
    auto* panel = new QInputDialog(parent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setWindowTitle(title);
    panel->setLabelText(PresetBox::tr("Name of the preset:"));
    panel->setTextValue(name);
    QObject::connect(panel, &QInputDialog::textValueSelected, panel, reply);
    panel->open();
}

qsizetype indexOf(const QList<Preset>& presets, const QString& name) {
    const Preset* found = findPreset(presets, name);
    return found != nullptr ? found - presets.constData() : -1;
}

} // namespace

PresetBox::PresetBox(QWidget* parent)
    : QWidget(parent), box_(new QComboBox(this)), menuButton_(new QToolButton(this)) {
    askName = namePanel;
    box_->setObjectName(QStringLiteral("presetBox"));
    box_->setPlaceholderText(tr("Preset"));
    box_->setMinimumWidth(Theme::em(8));
    menuButton_->setObjectName(QStringLiteral("presetMenu"));
    menuButton_->setText(QStringLiteral("…"));
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menuButton_);
    saveAs_ = menu->addAction(tr("Save as Preset…"), this,
                              [this] { ask(tr("Save as Preset"), &PresetBox::saveAs); });
    rename_ = menu->addAction(tr("Rename Preset…"), this,
                              [this] { ask(tr("Rename Preset"), &PresetBox::rename); });
    delete_ = menu->addAction(tr("Delete Preset"), this, &PresetBox::remove);
    menuButton_->setMenu(menu);
    // Hand edits made meanwhile show up, and an error in them shuts the actions.
    connect(menu, &QMenu::aboutToShow, this, &PresetBox::reload);
    connect(box_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < presets_.size())
            Q_EMIT presetChosen(presets_.at(index));
        show(chosenName());
    });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Theme::em(0.25));
    layout->addWidget(box_, 1);
    layout->addWidget(menuButton_);
    show(QString());
}

QString PresetBox::chosenName() const {
    const int index = box_->currentIndex();
    return index >= 0 && index < presets_.size() ? presets_.at(index).name : QString();
}

void PresetBox::reload() {
    const QString chosen = chosenName();
    PresetFile::Contents contents = PresetFile::load();
    const bool newError = !contents.error.isEmpty() && contents.error != error_;
    presets_ = std::move(contents.presets);
    error_ = contents.error;
    show(chosen);
    if (newError)
        Q_EMIT problem(error_);
}

void PresetBox::show(const QString& chosen) {
    const QSignalBlocker quiet(box_);
    box_->clear();
    for (const Preset& preset : std::as_const(presets_))
        box_->addItem(preset.name);
    box_->setCurrentIndex(static_cast<int>(indexOf(presets_, chosen)));
    box_->setToolTip(error_.isEmpty() ? tr("Choosing a preset applies its choices") : error_);
    saveAs_->setEnabled(error_.isEmpty());
    rename_->setEnabled(error_.isEmpty() && box_->currentIndex() >= 0);
    delete_->setEnabled(rename_->isEnabled());
    delete_->setText(rename_->isEnabled() ? tr("Delete “%1”").arg(chosenName())
                                          : tr("Delete Preset"));
}

void PresetBox::ask(const QString& title, void (PresetBox::*then)(const QString&)) {
    if (!askName)
        return;
    QPointer<PresetBox> self(this);
    askName(window(), title, chosenName(), [self, then](const QString& name) {
        if (PresetBox* box = self.data())
            (box->*then)(name.trimmed());
    });
}

void PresetBox::saveAs(const QString& name) {
    reload();
    if (name.isEmpty() || !error_.isEmpty())
        return;
    // A preset of that name is replaced: saving again under its name updates it.
    QList<Preset> presets = presets_;
    const qsizetype index = indexOf(presets, name);
    if (index >= 0)
        presets[index] = Preset::fromPreferences(name);
    else
        presets.append(Preset::fromPreferences(name));
    write(presets, name);
}

void PresetBox::rename(const QString& name) {
    const QString old = chosenName();
    reload();
    const qsizetype index = indexOf(presets_, old);
    if (name.isEmpty() || name == old || index < 0 || !error_.isEmpty())
        return;
    if (indexOf(presets_, name) >= 0) {
        Q_EMIT problem(tr("There is a preset named “%1” already.").arg(name));
        return;
    }
    QList<Preset> presets = presets_;
    presets[index].name = name;
    write(presets, name);
}

void PresetBox::remove() {
    const QString old = chosenName();
    reload();
    const qsizetype index = indexOf(presets_, old);
    if (index < 0 || !error_.isEmpty())
        return;
    QList<Preset> presets = presets_;
    presets.removeAt(index);
    write(presets, QString());
}

bool PresetBox::write(const QList<Preset>& presets, const QString& chosen) {
    QString why;
    if (!PresetFile::save(presets, &why)) {
        Q_EMIT problem(why);
        return false;
    }
    presets_ = presets;
    show(chosen);
    return true;
}
