#include "CompareWindow.h"

#include "CompareView.h"
#include "DecodePool.h"
#include "Theme.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* toolButton(QWidget* parent, const QString& text, const QString& description,
                        const QString& toolTip) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAccessibleName(QString(text).remove(u'&'));
    button->setAccessibleDescription(description);
    button->setToolTip(toolTip);
    return button;
}
} // namespace

CompareWindow::CompareWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CompareWindow"));
    setSizeGripEnabled(true);
    view_ = new CompareView(this);
    bar_ = new QLabel(this);
    bar_->setObjectName(QStringLiteral("compareBar"));
    bar_->setAccessibleName(tr("Sizes and quality"));
    bar_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar_->setWordWrap(true);
    auto* toolbar = new QHBoxLayout;
    buildToolbar(toolbar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Theme::em(0.6), Theme::em(0.6), Theme::em(0.6), Theme::em(0.6));
    layout->addLayout(toolbar);
    layout->addWidget(view_, 1);
    layout->addWidget(bar_);
    addStepKeys();
    resize(Theme::em(56), Theme::em(40));
    view_->setFocus();
}

CompareWindow::CompareWindow(const QString& source, const QString& result, QWidget* parent)
    : CompareWindow(parent) {
    setPair(source, result);
}

void CompareWindow::buildToolbar(QHBoxLayout* layout) {
    modes_ = new QButtonGroup(this);
    const struct {
        CompareMode mode;
        QString text;
        QString description;
    } modes[] = {
        {CompareMode::Flip, tr("&Flip"), tr("One image at a time; Space switches between them")},
        {CompareMode::Split, tr("&Split"), tr("Source left and result right of a divider")},
        {CompareMode::Difference, tr("&Difference"),
         tr("A heat map of where the result differs most")},
    };
    for (const auto& mode : modes) {
        QToolButton* button = toolButton(this, mode.text, mode.description, mode.description);
        button->setCheckable(true);
        button->setChecked(mode.mode == view_->mode());
        modes_->addButton(button, int(mode.mode));
        layout->addWidget(button);
    }
    connect(modes_, &QButtonGroup::idClicked, view_,
            [this](int id) { view_->setMode(CompareMode(id)); });
    connect(view_, &CompareView::modeChanged, modes_,
            [this](CompareMode mode) { modes_->button(int(mode))->setChecked(true); });
    layout->addSpacing(Theme::em(1));

    QToolButton* fit = toolButton(this, tr("Fit"), tr("Shows the whole image"), tr("Fit (Ctrl+0)"));
    connect(fit, &QToolButton::clicked, view_, &CompareView::fitToWindow);
    QToolButton* actual =
        toolButton(this, tr("100 %"), tr("One image pixel per screen pixel"), tr("100 % (Ctrl+1)"));
    connect(actual, &QToolButton::clicked, view_, &CompareView::showActualSize);
    layout->addWidget(fit);
    layout->addWidget(actual);
    layout->addStretch(1);

    QToolButton* previous =
        toolButton(this, tr("Previous"), tr("Shows the previous converted file"),
                   tr("Previous (Left, Page Up)"));
    connect(previous, &QToolButton::clicked, this, &CompareWindow::previousRequested);
    QToolButton* next = toolButton(this, tr("Next"), tr("Shows the next converted file"),
                                   tr("Next (Right, Page Down)"));
    connect(next, &QToolButton::clicked, this, &CompareWindow::nextRequested);
    layout->addWidget(previous);
    layout->addWidget(next);
}

void CompareWindow::addStepKeys() {
    // Window-wide, so they step also while a toolbar button has the focus.
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_PageUp})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                &CompareWindow::previousRequested);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                &CompareWindow::nextRequested);
}

void CompareWindow::setPair(const QString& source, const QString& result) {
    ++generation_;
    if (abandoned_)
        abandoned_->store(true);
    abandoned_ = std::make_shared<std::atomic_bool>(false);
    sides_[0] = {source, std::nullopt};
    sides_[1] = {result, std::nullopt};
    measures_.reset();
    setWindowTitle(tr("Compare – %1").arg(QFileInfo(source).fileName()));
    view_->clearImages(tr("Opening “%1” and “%2”…").arg(source, result));
    refreshBar();
    for (int side = 0; side < 2; ++side) {
        runOnDecodePool(
            this,
            [path = sides_[side].path, abandoned = abandoned_] {
                return abandoned->load() ? DecodedImage() : decodeImage(path);
            },
            [this, side, generation = generation_](const DecodedImage& image) {
                if (generation == generation_)
                    decoded(side, image);
            });
    }
}

void CompareWindow::decoded(int side, const DecodedImage& image) {
    sides_[side].decoded = image;
    if (sides_[0].decoded && sides_[1].decoded)
        showPair();
}

void CompareWindow::showPair() {
    QStringList failures;
    for (const Side& side : sides_) {
        if (side.decoded->failure != DecodeFailure::None)
            failures.append(failureText(side.path, side.decoded->failure));
    }
    if (failures.isEmpty())
        view_->setImages(sides_[0].decoded->image, sides_[1].decoded->image);
    else
        view_->clearImages(failures.join(u'\n'));
    refreshBar();
    Q_EMIT pairLoaded(failures.isEmpty());
}

QString CompareWindow::failureText(const QString& path, DecodeFailure failure) {
    switch (failure) {
    case DecodeFailure::Unreadable:
        return tr("“%1” cannot be read.").arg(path);
    case DecodeFailure::TooLarge:
        return tr("“%1” is too large to show.").arg(path);
    case DecodeFailure::Damaged:
    case DecodeFailure::None:
        break;
    }
    return tr("“%1” cannot be shown: the file is damaged or not an image.").arg(path);
}

void CompareWindow::setMeasures(double psnr, double ssim) {
    measures_ = CompareText::Measures{psnr, ssim};
    refreshBar();
}

void CompareWindow::refreshBar() {
    if (!sides_[0].decoded || !sides_[1].decoded)
        bar_->setText(tr("Opening…"));
    else if (!view_->hasImages())
        bar_->setText(view_->placeholderText());
    else
        bar_->setText(CompareText::barText({sides_[0].decoded->bytes, sides_[0].decoded->fullSize},
                                           {sides_[1].decoded->bytes, sides_[1].decoded->fullSize},
                                           measures_));
}

QString CompareWindow::barText() const {
    return bar_->text();
}

void CompareWindow::keyPressEvent(QKeyEvent* event) {
    // Zoom keys pressed while a toolbar button has the focus still zoom the images.
    if (view_->hasImages() && event->key() != Qt::Key_Space && view_->handleKey(event))
        return event->accept();
    QDialog::keyPressEvent(event);
}
