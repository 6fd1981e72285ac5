#pragma once
#include "DragDropView.h"
#include "RunReport.h"

#include "FractionSlider.h"
#include "JobTableView.h"
#include "ModeBox.h"
#include "OptionsWindow.h"
#include "ProgressBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

#include <functional>

class BatchRun;
class IntakeRunner;
class JobList;
class JobTableModel;
struct IntakeOutcome;

// The main window's content: the drop area with the file table, the options bar and the
// start button. It owns the job list; intake, options and the run are its actions. Nothing
// here blocks: folder scans and file checks run on a worker, the run on the engine.
class HomeViewController : public QWidget, public DragDropViewDelegate {
    Q_OBJECT
public:
    explicit HomeViewController(QWidget* parent = nullptr);
    ~HomeViewController() override;

    // Intake: the open panels, drops and files opened with the application.
    void addFile();
    void addFolder();
    void dragDropViewFileList(const QStringList& paths) override;
    void dockDragFile(const QVariant& object);
    void clearFile();
    static QStringList getDirFileWithExtType(qint64 mode, const QString& dir);
    static bool isDirectory(const QString& path);
    static qint64 fileSizeAtPath(const QString& path);
    void resetUploadCount();

    // The window's alert; also enables the start button unless a run or an intake is going.
    void showAlert(const QString& message);
    // The alert that ends a run with failures.
    void showClosingReport(const ClosingReport& report);
    // Start button from the list: enabled exactly when it holds a job (and nothing is busy).
    void checkAgreeSubmit();
    // The row delete action.
    void removeJob(qint64 row);
    // The row's "Show in folder": opens the folder holding its result.
    void showInFolder(qint64 row);

    // Options.
    void refreshOptions();
    void comboBoxSelectionIsChanging();
    void comboBoxSelectionDidChange();
    void sliderValueChanged(FractionSlider* sender);
    void showOptions();

    void info();
    void account();

    // The run.
    void submit();
    void convertImage();
    void cancelRun();

    bool isRunning() const;
    bool isIntakeBusy() const;
    bool isChoosingOutputFolder() const { return choosingFolder_; }
    // Paths that arrived while the list could not take them, waiting for their turn.
    qsizetype heldIntakeCount() const { return pendingIntakes_.size(); }

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

    JobList* jobList() const { return jobList_; }
    JobTableModel* tableModel() const { return model_; }
    JobTableView* tableView() const { return tableView_; }
    DragDropView* dropView() const { return dropView_; }
    ModeBox* comboBox() const { return modeBox_; }
    FractionSlider* ratioSlider() const { return qualitySlider_; }
    QLabel* ratioText() const { return ratioText_; }
    QCheckBox* keepDate() const { return keepDate_; }
    QPushButton* submitBtn() const { return startButton_; }
    QPushButton* cancelBtn() const { return cancelButton_; }
    ProgressBar* progressBar() const { return progressBar_; }
    QLabel* statusLabel() const { return statusLabel_; }
    BatchRun* batchRun() const { return batchRun_; }
    OptionsWindow* optionsWindow() const { return optionsWindow_; }
    QWidget* ratingInvitation() const { return ratingInvitation_; }
    qint64 convertType() const { return convertType_; }
    double ratio() const { return ratio_; }
    qint64 uploadCount() const { return uploadCount_; }
    qint64 index() const { return index_; }
    const QString& convertError() const { return convertError_; }
    QMessageBox* lastAlert() const { return lastAlert_; }

Q_SIGNALS:
    void intakeFinished();
    void runStarted();
    void runFinished(const RunReport& report);
    void busyChanged(bool busy);
    void alertShown(const QString& message);
    // The options window may be opened (false while a run or an intake is going).
    void optionsAvailableChanged(bool available);

private:
    // Every alert ends here: it is the last one, and it frees the start button when idle.
    void alertShownAs(QMessageBox* box, const QString& message);
    struct PendingIntake {
        QStringList paths;
        bool fromDrop = true;
    };

    void buildLayout();
    QWidget* buildOptionsBar();
    QWidget* buildFooter();
    void viewDidLoad();

    void enqueueIntake(const QStringList& paths, bool fromDrop);
    void startNextIntake();
    void finishIntake(const IntakeOutcome& outcome);
    void refuseWhileRunning();

    void outputFolderChosen(const QString& directory);
    void showProgress(qsizetype done, qsizetype total);
    void runDidStart();
    void runDidFinish(const RunReport& report);
    void showRatingInvitation();
    void updateBusyControls();
    void updateSummary();

    JobList* jobList_ = nullptr;
    JobTableModel* model_ = nullptr;
    BatchRun* batchRun_ = nullptr;
    IntakeRunner* intakeRunner_ = nullptr;
    QList<PendingIntake> pendingIntakes_;

    QPointer<QVBoxLayout> homeLayout_;
    QPointer<DragDropView> dropView_;
    QPointer<JobTableView> tableView_;
    QPointer<ModeBox> modeBox_;
    QPointer<FractionSlider> qualitySlider_;
    QPointer<QLabel> ratioText_;
    QPointer<QCheckBox> keepDate_;
    QPointer<QPushButton> startButton_;
    QPointer<QPushButton> cancelButton_;
    QPointer<QPushButton> optionsBtn_;
    QPointer<ProgressBar> progressBar_;
    QPointer<QLabel> statusLabel_;
    QPointer<OptionsWindow> optionsWindow_;
    QPointer<QWidget> ratingInvitation_;
    QPointer<QMessageBox> lastAlert_;

    qint64 uploadCount_ = 0;
    qint64 index_ = 0;
    qint64 convertType_ = 0;
    double ratio_ = 90;
    QString convertError_;
    QString notice_; // last intake notice shown in the footer
    bool choosingFolder_ = false;
    bool refreshPending_ = false; // stored options changed while busy: apply when idle
    qsizetype progressShown_ = 0; // the progress label never goes back within a run
};
