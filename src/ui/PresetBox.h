#pragma once
#include "Preset.h"

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include <functional>

// The presets in the options bar: choosing one applies it; the button beside the box saves the
// current choices as a preset, renames or deletes the chosen one. Each change is written to
// the presets file at once, read again just before, so hand edits are kept; a file with an
// error is reported and never rewritten.
class PresetBox : public QWidget {
    Q_OBJECT
public:
    explicit PresetBox(QWidget* parent = nullptr);

    QComboBox* box() const { return box_; }
    QToolButton* menuButton() const { return menuButton_; }
    QAction* saveAsAction() const { return saveAs_; }
    QAction* renameAction() const { return rename_; }
    QAction* deleteAction() const { return delete_; }

    // Reads the presets file (the box is empty until then, so its owner can listen first);
    // a new error in it is reported through problem().
    void reload();
    // The preset the box shows, "" when none.
    QString chosenName() const;

    // Asks for a name, answering later with it ("" when cancelled): the window is never held.
    using NameReply = std::function<void(const QString& name)>;
    std::function<void(QWidget* parent, const QString& title, const QString& name,
                       const NameReply& reply)>
        askName;

Q_SIGNALS:
    void presetChosen(const Preset& preset);
    // Something went wrong with the presets file: the message names it.
    void problem(const QString& message);

private:
    void saveAs(const QString& name);
    void rename(const QString& name);
    void remove();
    bool write(const QList<Preset>& presets, const QString& chosen);
    void show(const QString& chosen);
    void ask(const QString& title, void (PresetBox::*then)(const QString&));

    QPointer<QComboBox> box_;
    QPointer<QToolButton> menuButton_;
    QPointer<QAction> saveAs_;
    QPointer<QAction> rename_;
    QPointer<QAction> delete_;
    QList<Preset> presets_;
    QString error_; // the file's error, "" when it reads well
};
