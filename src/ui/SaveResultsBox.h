#pragma once
#include <QComboBox>

#include <functional>

// Where a run's results go, as stored: "Ask each time", "Next to each source" or "Always in"
// a folder, which choosing that entry (again) asks for; a cancelled panel keeps what was stored.
class SaveResultsBox : public QComboBox {
    Q_OBJECT
public:
    explicit SaveResultsBox(QWidget* parent = nullptr);

    // The folder panel, answering later with the folder ("" when cancelled).
    using FolderReply = std::function<void(const QString& folder)>;
    std::function<void(QWidget* parent, const QString& startFolder, const FolderReply& reply)>
        chooseFolder;

private:
    void picked(int index);
    void showStored();
};
