#include "HomeViewController.h"

#include "AlertSheet.h"
#include "BatchRun.h"
#include "FractionSlider.h"
#include "HexColor.h"
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
#include <QFileDialog>
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
    const QString filter = QStringLiteral("Images (%1);;All files (*)").arg(patterns.join(u' '));
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Add Files"), QString(), filter);
}

QString folderPanel(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Add Folder"));
}

QString outputPanel(QWidget* parent) {
    QFileDialog panel(parent, QString());
    panel.setFileMode(QFileDialog::Directory);
    panel.setOption(QFileDialog::ShowDirsOnly, true);
    panel.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    panel.setWindowTitle(QStringLiteral("Choose the folder for the converted images"));
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().constFirst();
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
    buildLayout();
    viewDidLoad();
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
    vectorTableView_ = new JobTableView(model_, card);
    vectorTableView_->setObjectName(QStringLiteral("vectorTableView"));
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(4, 6, 4, 6);
    cardLayout->addWidget(vectorTableView_);
    auto* dropLayout = new QVBoxLayout(dropView_);
    dropLayout->setContentsMargins(0, 0, 0, 0);
    dropLayout->addWidget(card);
    homeLayout_->addWidget(dropView_, 1);
    homeLayout_->addWidget(buildOptionsBar());
    homeLayout_->addWidget(buildFooter());

    vectorTableView_->cell()->delImgBlock = [this](qint64 row) { deleteImag(row); };
    connect(dropView_, &DragDropView::dragHoverChanged, vectorTableView_,
            &JobTableView::setDropHighlight);
}

QWidget* HomeViewController::buildOptionsBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("optionsBar"));
    bar->setStyleSheet(cardStyle(QStringLiteral("optionsBar")));
    comboBox_ = new ModeBox(bar);
    comboBox_->setObjectName(QStringLiteral("comboBox"));
    comboBox_->setMinimumWidth(Theme::em(10.5));
    ratioSlider_ = new FractionSlider(bar);
    ratioSlider_->setObjectName(QStringLiteral("ratioSlider"));
    ratioSlider_->setFixedWidth(Theme::em(10.5));
    ratioText_ = new QLabel(bar);
    ratioText_->setObjectName(QStringLiteral("ratioText"));
    ratioText_->setMinimumWidth(Theme::em(2.5));
    ratioText_->setStyleSheet(QStringLiteral("font-weight: 600;"));
    keepDate_ = new QCheckBox(QStringLiteral("Keep original dates"), bar);
    keepDate_->setObjectName(QStringLiteral("keepDate"));
    keepDate_->setToolTip(
        QStringLiteral("Give each converted file its source file's creation date"));
    optionsBtn_ = new QPushButton(ToolbarIcons::options(), QStringLiteral("Options…"), bar);
    optionsBtn_->setObjectName(QStringLiteral("optionsButton"));
    optionsBtn_->setFlat(true);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(Theme::em(1), Theme::em(0.6), Theme::em(0.75), Theme::em(0.6));
    layout->setSpacing(Theme::em(0.6));
    layout->addWidget(captionLabel(QStringLiteral("Convert"), bar));
    layout->addWidget(comboBox_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(captionLabel(QStringLiteral("Quality"), bar));
    layout->addWidget(ratioSlider_);
    layout->addWidget(ratioText_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(keepDate_);
    layout->addStretch(1);
    layout->addWidget(optionsBtn_);

    connect(comboBox_, &QComboBox::activated, this, [this] { comboBoxSelectionIsChanging(); });
    connect(comboBox_, &QComboBox::currentIndexChanged, this,
            [this] { comboBoxSelectionDidChange(); });
    connect(optionsBtn_, &QPushButton::clicked, this, [this] { opetions(); });
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
    cancelBtn_ = new QPushButton(QStringLiteral("Cancel"), footer);
    cancelBtn_->setObjectName(QStringLiteral("cancelBtn"));
    cancelBtn_->hide();
    submitBtn_ = new QPushButton(QStringLiteral("Start Conversion"), footer);
    submitBtn_->setObjectName(QStringLiteral("submitBtn"));
    submitBtn_->setCursor(Qt::PointingHandCursor);
    submitBtn_->setMinimumHeight(Theme::em(2.2));

    auto* layout = new QHBoxLayout(footer);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(Theme::em(0.75));
    layout->addWidget(statusLabel_, 1);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelBtn_);
    layout->addWidget(submitBtn_);

    connect(submitBtn_, &QPushButton::clicked, this, [this] { submit(); });
    connect(cancelBtn_, &QPushButton::clicked, this, [this] { cancelRun(); });
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
    submitBtn_->setEnabled(false);
    index_ = 0;
    dropView_->setDelegate(this);

    const QColor start = colorWithHexCode(QLatin1String(Theme::StartButtonHex));
    submitBtn_->setStyleSheet(
        QStringLiteral(
            "QPushButton { background: %1; color: white; border: none; border-radius: 0.45em;"
            " padding: 0.5em 1.4em; font-weight: 600; }"
            "QPushButton:hover { background: %2; }"
            "QPushButton:pressed { background: %3; }"
            "QPushButton:disabled { background: %4; color: %5; }")
            .arg(start.name(), start.lighter(108).name(), start.darker(115).name(),
                 Theme::mix(start, Theme::window(), 0.55).name(),
                 Theme::mix(Qt::white, Theme::window(), 0.3).name()));

    connect(ratioSlider_, &QSlider::valueChanged, this,
            [this] { sliderValueChanged(ratioSlider_); });
    refreshOptions();

    connect(intakeRunner_, &IntakeRunner::finished, this, &HomeViewController::finishIntake);
    connect(intakeRunner_, &IntakeRunner::busyChanged, this, [this] { updateBusyControls(); });
    connect(jobList_, &JobList::appended, this, &HomeViewController::updateSummary);
    connect(jobList_, &JobList::removed, this, &HomeViewController::updateSummary);
    connect(jobList_, &JobList::cleared, this, &HomeViewController::updateSummary);
    connect(batchRun_, &BatchRun::convertErrorChanged, this,
            [this](const QString& text) { convertError_ = text; });
    connect(batchRun_, &BatchRun::progressChanged, this, [this](qsizetype done, qsizetype total) {
        progressBar_->setMaxValue(static_cast<float>(total));
        progressBar_->setPresent(done);
        progressBar_->Label()->setText(QStringLiteral("%1 of %2").arg(done).arg(total));
    });
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
    lastAlert_ = AlertSheet::show(window(), message);
    if (!isRunning() && !isIntakeBusy())
        submitBtn_->setEnabled(true);
    Q_EMIT alertShown(message);
}

void HomeViewController::checkAgreeSubmit() {
    submitBtn_->setEnabled(!jobList_->isEmpty() && !isRunning() && !isIntakeBusy());
}

void HomeViewController::deleteImag(qint64 row) {
    if (!jobList_->removeAt(row)) {
        refuseWhileRunning();
        return;
    }
    checkAgreeSubmit();
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
        statusLabel_->setText(
            QStringLiteral("The list cannot change while images are being converted."));
}

void HomeViewController::updateBusyControls() {
    const bool running = isRunning();
    const bool busy = running || isIntakeBusy();
    comboBox_->setEnabled(!busy);
    dropView_->setAcceptDrops(!running);
    vectorTableView_->cell()->setDeleteEnabled(!running);
    vectorTableView_->viewport()->update();
    if (busy)
        submitBtn_->setEnabled(false);
    else
        checkAgreeSubmit();
    if (isIntakeBusy())
        statusLabel_->setText(QStringLiteral("Adding files…"));
    else if (!running)
        updateSummary();
    Q_EMIT busyChanged(busy);
}

void HomeViewController::updateSummary() {
    if (isRunning() || isIntakeBusy())
        return;
    const qsizetype count = jobList_->count();
    if (count == 0) {
        statusLabel_->setText(notice_.isEmpty() ? QStringLiteral("No files yet") : notice_);
        return;
    }
    double total = 0;
    for (const PicModel& job : jobList_->dataArr())
        total += job.size;
    QString text = QStringLiteral("%1 %2 · %3")
                       .arg(count)
                       .arg(count == 1 ? QStringLiteral("file") : QStringLiteral("files"),
                            total > 1024.0 ? QString::asprintf("%.2f MB", total / 1024.0)
                                           : QString::asprintf("%.2f KB", total));
    if (!notice_.isEmpty())
        text += QStringLiteral(" · ") + notice_;
    statusLabel_->setText(text);
}
