#include "log/widget/record_bar.h"

#include <QCheckBox>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QValidator>

#include "log/recording_policy.h"

namespace qx {

namespace {

// Refuses any text but digits, so pasting or dropping letters into the interval box changes
// nothing (typed keys are filtered before they get here).
class IntervalValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return RecordingPolicy::AcceptsIntervalText(input.toStdString()) ? Acceptable : Invalid;
    }
};

}  // namespace

RecordBar::RecordBar(RecordingPolicy& policy, QWidget* parent) : QFrame(parent), policy_(policy) {
    setObjectName(QStringLiteral("Panel7"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The captions are laid out for 11-pixel sans text: the interval box covers the blanks of
    // the "Sampling Interval" caption only if the words keep that width.
    QFont captions = font();
    captions.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                          QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    captions.setPixelSize(11);
    setFont(captions);

    RepeatSet = new QCheckBox(QStringLiteral("Repeat"), this);
    RepeatSet->setObjectName(QStringLiteral("RepeatSet"));
    RepeatSet->setGeometry(5, 8, 55, 17);
    RepeatSet->setChecked(policy_.RepeatSet());
    connect(RepeatSet, &QCheckBox::toggled, this, [this](bool on) { policy_.SetRepeatSet(on); });

    RecordSI = new QCheckBox(QStringLiteral("Sampling Interval              'S"), this);
    RecordSI->setObjectName(QStringLiteral("RecordSI"));
    RecordSI->setGeometry(60, 8, 167, 17);
    RecordSI->setChecked(policy_.RecordSI());
    connect(RecordSI, &QCheckBox::toggled, this, [this](bool on) { policy_.SetRecordSI(on); });

    // Created after RecordSI so that it lies over the blanks of that caption.
    RecordSITime = new QLineEdit(QString::fromStdString(policy_.RecordSITime()), this);
    RecordSITime->setObjectName(QStringLiteral("RecordSITime"));
    RecordSITime->setGeometry(166, 6, 29, 21);
    RecordSITime->setValidator(new IntervalValidator(RecordSITime));
    RecordSITime->installEventFilter(this);
    connect(RecordSITime, &QLineEdit::textChanged, this,
            [this](const QString& text) { policy_.RecordSITimeChange(text.toStdString()); });

    auto makeButton = [this](const char* name, const QString& hint, int left, int width,
                             QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        b->setGeometry(left, 4, width, 21);
        return b;
    };
    SpeedButton2 =
        makeButton("SpeedButton2", QStringLiteral("Delete Data"), 501, 25, QStyle::SP_TrashIcon);
    SpeedButton1 = makeButton("SpeedButton1", QStringLiteral("Save Data"), 528, 25,
                              QStyle::SP_DialogSaveButton);
    SpeedButton3 = makeButton("SpeedButton3", QStringLiteral("Open Data"), 555, 25,
                              QStyle::SP_DialogOpenButton);
    MajPrint = makeButton("MajPrint", QStringLiteral("Print Data"), 582, 29,
                          QStyle::SP_FileDialogDetailedView);
    connect(SpeedButton2, &QToolButton::clicked, this, &RecordBar::deleteClicked);
    connect(SpeedButton1, &QToolButton::clicked, this, &RecordBar::saveClicked);
    connect(SpeedButton3, &QToolButton::clicked, this, &RecordBar::openClicked);
    connect(MajPrint, &QToolButton::clicked, this, &RecordBar::printClicked);
}

bool RecordBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == RecordSITime && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Printable characters go through the key filter; control characters (backspace,
        // Ctrl+C ...) and keys without text (Delete, arrows) keep their editing function, and
        // the validator still guards what they would insert.
        if (text.size() == 1 && text.front().unicode() >= 0x20 &&
            (text.front().unicode() > 0x7F ||
             !RecordingPolicy::RecordSITimeKeyPress(static_cast<char>(text.front().unicode()))))
            return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace qx
