#pragma once
#include "ConversionSession.h"
#include "DragDropView.h"
#include "JobTableView.h"
#include "OptionsBar.h"
#include "OptionsWindow.h"
#include "RunFooter.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

class CompareLauncher;

// The main window's content: the drop area with the file table, the options bar and the run
// footer. It shows a conversion session and forwards the user's requests to it; the panels it
// opens never block the window.
class HomeView : public QWidget, public DragDropViewDelegate {
    Q_OBJECT
public:
    explicit HomeView(QWidget* parent = nullptr);

    // The user's requests.
    void addFiles();
    void addFolder();
    void dragDropViewFileList(const QStringList& paths) override;
    // Files opened with the application: never refused, added once the list can take them.
    void openFiles(const QStringList& paths);
    // Files a file manager's action asked to convert to target ("webp", "jpg", "png"): added
    // like opened files, then converted at once next to their sources.
    void convertFiles(const QStringList& paths, const QString& target);
    void clearList();
    void removeJob(qsizetype row);
    void showInFolder(qsizetype row);
    void showOptions();
    void showInfo();
    void startConversion();
    void cancelRun();
    // The stored choices changed elsewhere: show them (the list's mode once nothing is busy).
    void refreshOptions();

    // The window's alert; also enables the start button unless a run or an intake is going.
    void showAlert(const QString& message);

    // Seams for the panels, so tests need not drive platform dialogs. The output folder
    // panel answers later (an empty path when cancelled): it must not block the window while
    // files opened with the application arrive.
    using FolderReply = std::function<void(const QString& directory)>;
    std::function<QStringList(QWidget* parent, const QStringList& fileTypes)> chooseFiles;
    std::function<QString(QWidget* parent)> chooseFolder;
    std::function<void(QWidget* parent, FolderReply reply)> chooseOutputDirectory;
    std::function<void()> showRatingRequest;
    // Hands a folder or a web address to the desktop.
    std::function<void(const QUrl& url)> openUrl;
    // Shows a result in the file manager; by default opens its folder through openUrl.
    std::function<void(const QString& file)> showFile;

    ConversionSession* session() const { return session_; }
    JobTableView* tableView() const { return tableView_; }
    DragDropView* dropView() const { return dropView_; }
    OptionsBar* optionsBar() const { return optionsBar_; }
    RunFooter* footer() const { return footer_; }
    OptionsWindow* optionsWindow() const { return optionsWindow_; }
    QWidget* ratingInvitation() const { return ratingInvitation_; }
    QMessageBox* lastAlert() const { return lastAlert_; }
    CompareLauncher* comparison() const { return comparison_; }

Q_SIGNALS:
    void alertShown(const QString& message);
    void busyChanged(bool busy);
    // The options window may be opened (false while a run or an intake is going).
    void optionsAvailableChanged(bool available);
    // The options window closed: the stored choices may have changed.
    void optionsClosed();

private:
    void showAlertBox(QMessageBox* box, const QString& message);
    void outputFolderChosen(const QString& directory);
    // Starts the run into folder, or tells why it cannot.
    void startInto(const QString& folder);
    void showRunStarted();
    void applyPreset(const Preset& preset);
    void intakeDone(const IntakeSummary& summary);
    void runDone(const RunReport& report);
    void showRatingInvitation();
    void showBusy(bool busy);
    void showSummary();
    void refuseWhileRunning();

    ConversionSession* session_;
    QPointer<QVBoxLayout> layout_;
    QPointer<DragDropView> dropView_;
    QPointer<JobTableView> tableView_;
    QPointer<OptionsBar> optionsBar_;
    QPointer<RunFooter> footer_;
    QPointer<OptionsWindow> optionsWindow_;
    QPointer<QWidget> ratingInvitation_;
    QPointer<QMessageBox> lastAlert_;
    CompareLauncher* comparison_ = nullptr;
    QString notice_; // the last intake's or run's notice, shown in the footer
};
