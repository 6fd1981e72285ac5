#include "HomeViewController.h"

#include "AlertSheet.h"
#include "BatchRun.h"
#include "ControlDescriptions.h"
#include "FractionSlider.h"
#include "HexColor.h"
#include "HomeKeyboard.h"
#include "InfoWindow.h"
#include "IntakeRunner.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "ModeBox.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ProgressBar.h"
#include "TessaroCell.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include "AccountActions.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QStringList openPanel(QWidget* parent, const QStringList& fileTypes) {
    QStringList patterns;
    for (const QString& type : fileTypes)
        patterns.append(QStringLiteral("*.") + type);
    // Other file types stay choosable, as the filter list's second entry.
    const QString filter =
        HomeViewController::tr("Images (%1);;All files (*)").arg(patterns.join(u' '));
    return QFileDialog::getOpenFileNames(parent, HomeViewController::tr("Add Files"), QString(),
                                         filter);
}

QString folderPanel(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, HomeViewController::tr("Add Folder"));
}

void outputPanel(QWidget* parent, const HomeViewController::FolderReply& reply) {
    auto* panel = new QFileDialog(parent, QString());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, HomeViewController::tr("OK"));
    panel->setWindowTitle(HomeViewController::tr("Choose the folder for the converted images"));
    QObject::connect(panel, &QDialog::finished, panel, [panel, reply](int result) {
        const QStringList chosen = panel->selectedFiles();
        reply(result == QDialog::Accepted && !chosen.isEmpty() ? chosen.constFirst() : QString());
    });
    panel->open();
}

// A rounded panel on the window, in the palette's base colour.
QString cardStyle(const QString& objectName) {
    return QStringLiteral("#%1 { background: %2; border: 1px solid %3; border-radius: 0.75em; }")
        .arg(objectName, Theme::surface().name(), Theme::separator().name());
}

QLabel* captionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(
        QStringLiteral("color: %1; font-weight: 600;").arg(Theme::secondaryText().name()));
    return label;
}

} // namespace

HomeViewController::HomeViewController(QWidget* parent)
    : QWidget(parent), jobList_(new JobList(this)), model_(new JobTableModel(jobList_, this)),
      batchRun_(new BatchRun(this)), intakeRunner_(new IntakeRunner(this)) {
    setObjectName(QStringLiteral("homeView"));
    chooseFiles = openPanel;
    chooseFolder = folderPanel;
    chooseOutputDirectory = outputPanel;
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    buildLayout();
    viewDidLoad();
    new HomeKeyboard(this);
    ControlDescriptions::describeHome(this);
}

HomeViewController::~HomeViewController() {
    NotificationCenter::defaultCenter().removeObserver(this);
    pendingIntakes_.clear();
}

void HomeViewController::buildLayout() {
    homeLayout_ = new QVBoxLayout(this);
    const int margin = Theme::margin();
    homeLayout_->setContentsMargins(margin, margin, margin, margin);
    homeLayout_->setSpacing(Theme::em(0.75));

    dropView_ = new DragDropView(this);
    dropView_->setObjectName(QStringLiteral("dropView"));
    auto* card = new QFrame(dropView_);
    card->setObjectName(QStringLiteral("tableCard"));
    card->setStyleSheet(cardStyle(QStringLiteral("tableCard")));
    tableView_ = new JobTableView(model_, card);
    tableView_->setObjectName(QStringLiteral("tableView"));
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(4, 6, 4, 6);
    cardLayout->addWidget(tableView_);
    auto* dropLayout = new QVBoxLayout(dropView_);
    dropLayout->setContentsMargins(0, 0, 0, 0);
    dropLayout->addWidget(card);
    homeLayout_->addWidget(dropView_, 1);
    homeLayout_->addWidget(buildOptionsBar());
    homeLayout_->addWidget(buildFooter());

    connect(tableView_->cell(), &TessaroCell::deleteRequested, this,
            [this](const QModelIndex& index) { removeJob(index.row()); });
    connect(tableView_->cell(), &TessaroCell::showInFolderRequested, this,
            [this](const QModelIndex& index) { showInFolder(index.row()); });
    connect(dropView_, &DragDropView::dragHoverChanged, tableView_,
            &JobTableView::setDropHighlight);
}

QWidget* HomeViewController::buildOptionsBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("optionsBar"));
    bar->setStyleSheet(cardStyle(QStringLiteral("optionsBar")));
    modeBox_ = new ModeBox(bar);
    modeBox_->setObjectName(QStringLiteral("comboBox"));
    modeBox_->setMinimumWidth(Theme::em(10.5));
    qualitySlider_ = new FractionSlider(bar);
    qualitySlider_->setObjectName(QStringLiteral("ratioSlider"));
    qualitySlider_->setFixedWidth(Theme::em(10.5));
    ratioText_ = new QLabel(bar);
    ratioText_->setObjectName(QStringLiteral("ratioText"));
    ratioText_->setMinimumWidth(Theme::em(2.5));
    ratioText_->setStyleSheet(QStringLiteral("font-weight: 600;"));
    keepDate_ = new QCheckBox(tr("Keep original dates"), bar);
    keepDate_->setObjectName(QStringLiteral("keepDate"));
    keepDate_->setToolTip(tr("Give each converted file its source file's creation date"));
    optionsBtn_ = new QPushButton(ToolbarIcons::options(), tr("Options…"), bar);
    optionsBtn_->setObjectName(QStringLiteral("optionsButton"));
    optionsBtn_->setFlat(true);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(Theme::em(1), Theme::em(0.6), Theme::em(0.75), Theme::em(0.6));
    layout->setSpacing(Theme::em(0.6));
    layout->addWidget(captionLabel(tr("Convert"), bar));
    layout->addWidget(modeBox_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(captionLabel(tr("Quality"), bar));
    layout->addWidget(qualitySlider_);
    layout->addWidget(ratioText_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(keepDate_);
    layout->addStretch(1);
    layout->addWidget(optionsBtn_);

    connect(modeBox_, &QComboBox::activated, this, [this] { comboBoxSelectionIsChanging(); });
    connect(modeBox_, &QComboBox::currentIndexChanged, this,
            [this] { comboBoxSelectionDidChange(); });
    connect(optionsBtn_, &QPushButton::clicked, this, [this] { showOptions(); });
    connect(keepDate_, &QCheckBox::toggled, this, [this](bool on) { batchRun_->setKeepDate(on); });
    return bar;
}

QWidget* HomeViewController::buildFooter() {
    auto* footer = new QWidget(this);
    statusLabel_ = new QLabel(footer);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::secondaryText().name()));
    progressBar_ = new ProgressBar(footer);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setFixedWidth(Theme::em(16));
    progressBar_->hide();
    cancelButton_ = new QPushButton(tr("Cancel"), footer);
    cancelButton_->setObjectName(QStringLiteral("cancelBtn"));
    cancelButton_->hide();
    startButton_ = new QPushButton(tr("Start Conversion"), footer);
    startButton_->setObjectName(QStringLiteral("submitBtn"));
    startButton_->setCursor(Qt::PointingHandCursor);
    startButton_->setMinimumHeight(Theme::em(2.2));

    auto* layout = new QHBoxLayout(footer);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(Theme::em(0.75));
    layout->addWidget(statusLabel_, 1);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelButton_);
    layout->addWidget(startButton_);

    connect(startButton_, &QPushButton::clicked, this, [this] { submit(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelRun(); });
    return footer;
}

void HomeViewController::viewDidLoad() {
    auto& center = NotificationCenter::defaultCenter();
    center.observe(QLatin1String(NotificationNames::Account), this,
                   [this](const QVariant&) { account(); });
    center.observe(QLatin1String(NotificationNames::DockDragFile), this,
                   [this](const QVariant& object) { dockDragFile(object); });
    center.observe(QLatin1String(NotificationNames::RefreshOptions), this,
                   [this](const QVariant&) { refreshOptions(); });
    if (window() != this)
        window()->setWindowTitle(QStringLiteral("Tessaro Pro"));
    resetUploadCount();
    startButton_->setEnabled(false);
    index_ = 0;
    dropView_->setDelegate(this);

    const QColor start = colorWithHexCode(QLatin1String(Theme::StartButtonHex));
    startButton_->setStyleSheet(
        QStringLiteral(
            "QPushButton { background: %1; color: white; border: none; border-radius: 0.45em;"
            " padding: 0.5em 1.4em; font-weight: 600; }"
            "QPushButton:hover { background: %2; }"
            "QPushButton:pressed { background: %3; }"
            "QPushButton:disabled { background: %4; color: %5; }")
            .arg(start.name(), start.lighter(108).name(), start.darker(115).name(),
                 Theme::mix(start, Theme::window(), 0.55).name(),
                 Theme::mix(Qt::white, Theme::window(), 0.3).name()));

    connect(qualitySlider_, &QSlider::valueChanged, this,
            [this] { sliderValueChanged(qualitySlider_); });
    refreshOptions();

    connect(intakeRunner_, &IntakeRunner::finished, this, &HomeViewController::finishIntake);
    connect(intakeRunner_, &IntakeRunner::busyChanged, this, [this] { updateBusyControls(); });
    connect(jobList_, &JobList::appended, this, &HomeViewController::updateSummary);
    connect(jobList_, &JobList::removed, this, &HomeViewController::updateSummary);
    connect(jobList_, &JobList::cleared, this, &HomeViewController::updateSummary);
    connect(batchRun_, &BatchRun::convertErrorChanged, this,
            [this](const QString& text) { convertError_ = text; });
    connect(batchRun_, &BatchRun::progressChanged, this, &HomeViewController::showProgress);
    connect(batchRun_, &BatchRun::finished, this, &HomeViewController::runDidFinish);
    batchRun_->setRatingHook([this] { showRatingInvitation(); });
    updateSummary();
}

bool HomeViewController::isRunning() const {
    return batchRun_->isRunning();
}

bool HomeViewController::isIntakeBusy() const {
    return intakeRunner_->isBusy();
}

void HomeViewController::showAlert(const QString& message) {
    alertShownAs(AlertSheet::show(window(), message), message);
}

void HomeViewController::showClosingReport(const ClosingReport& report) {
    const QMessageBox::Icon icon = report.icon == ClosingReport::Icon::Warning
                                       ? QMessageBox::Warning
                                       : QMessageBox::Information;
    alertShownAs(AlertSheet::show(window(), report.text, icon, report.title), report.text);
}

void HomeViewController::alertShownAs(QMessageBox* box, const QString& message) {
    lastAlert_ = box;
    if (!isRunning() && !isIntakeBusy())
        startButton_->setEnabled(true);
    Q_EMIT alertShown(message);
}

void HomeViewController::checkAgreeSubmit() {
    startButton_->setEnabled(!jobList_->isEmpty() && !isRunning() && !isIntakeBusy());
}

void HomeViewController::removeJob(qint64 row) {
    if (!jobList_->removeAt(row)) {
        refuseWhileRunning();
        return;
    }
    checkAgreeSubmit();
}

void HomeViewController::showInFolder(qint64 row) {
    if (row < 0 || row >= jobList_->count() || jobList_->at(row).outputPath.isEmpty())
        return;
    const QString folder = QFileInfo(jobList_->at(row).outputPath).absolutePath();
    if (openUrl)
        openUrl(QUrl::fromLocalFile(folder));
}

void HomeViewController::info() {
    InfoWindow dialog(window());
    dialog.exec();
}

void HomeViewController::account() {
    AccountActions::account(window());
}

void HomeViewController::refuseWhileRunning() {
    if (isRunning())
        statusLabel_->setText(tr("The list cannot change while images are being converted."));
}

void HomeViewController::updateBusyControls() {
    const bool running = isRunning();
    const bool busy = running || isIntakeBusy();
    modeBox_->setEnabled(!busy);
    optionsBtn_->setEnabled(!busy);
    if (optionsWindow_ != nullptr)
        optionsWindow_->comboBox()->setEnabled(!busy);
    dropView_->setAcceptDrops(!running);
    tableView_->cell()->setDeleteEnabled(!running);
    tableView_->viewport()->update();
    if (busy)
        startButton_->setEnabled(false);
    else
        checkAgreeSubmit();
    if (isIntakeBusy())
        statusLabel_->setText(tr("Adding files…"));
    else if (!running)
        updateSummary();
    if (!busy && refreshPending_) {
        refreshPending_ = false;
        refreshOptions();
    }
    Q_EMIT optionsAvailableChanged(!busy);
    Q_EMIT busyChanged(busy);
}

void HomeViewController::updateSummary() {
    if (isRunning() || isIntakeBusy())
        return;
    const qsizetype count = jobList_->count();
    if (count == 0) {
        statusLabel_->setText(notice_.isEmpty() ? tr("No files yet") : notice_);
        return;
    }
    double total = 0;
    for (const PicModel& job : jobList_->dataArr())
        total += job.size;
    QString text = tr("%1 %2 · %3")
                       .arg(count)
                       .arg(count == 1 ? tr("file") : tr("files"),
                            total > 1024.0 ? QString::asprintf("%.2f MB", total / 1024.0)
                                           : QString::asprintf("%.2f KB", total));
    if (!notice_.isEmpty())
        text += QStringLiteral(" · ") + notice_;
    statusLabel_->setText(text);
}
