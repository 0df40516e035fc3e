#include "number_edit.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

#include "app/dialogs/dialog_hooks.h"

namespace lantrel {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

NumberEdit::NumberEdit(int minimum, int maximum, int value, QWidget* parent)
    : QAbstractSpinBox(parent),
      minimum_(minimum),
      maximum_(maximum),
      position_(std::clamp(value, minimum, maximum)) {
    lineEdit()->setText(QString::number(value));
}

void NumberEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

std::optional<int> NumberEdit::parseInteger(QStringView text) {
    constexpr long long kClip = std::numeric_limits<int>::max() + 1LL;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    const qsizetype firstDigit = i;
    long long magnitude = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i].unicode() - u'0'), kClip);
    if (i == firstDigit) return std::nullopt;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i != text.size()) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

QString NumberEdit::problem() const {
    const std::optional<int> typed = number();
    if (!typed) return tr("整数を入力してください。");
    if (*typed < minimum_ || *typed > maximum_)
        return tr("%1 から %2 までの整数を入力してください。").arg(minimum_).arg(maximum_);
    return {};
}

int NumberEdit::stepStart() const {
    const std::optional<int> typed = number();
    return typed ? std::clamp(*typed, minimum_, maximum_) : position_;
}

void NumberEdit::stepBy(int steps) {
    position_ = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(stepStart()) + steps, minimum_, maximum_));
    lineEdit()->setText(QString::number(position_));
    selectAll();
}

QValidator::State NumberEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled NumberEdit::stepEnabled() const {
    const int start = stepStart();
    StepEnabled enabled = StepNone;
    if (start > minimum_) enabled |= StepDownEnabled;
    if (start < maximum_) enabled |= StepUpEnabled;
    return enabled;
}

// The base class knows no values and would size the edit for an empty text.
QSize NumberEdit::sizeHint() const {
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.rwidth() += fontMetrics().horizontalAdvance(QString::number(maximum_) + u'0');
    return hint;
}

QSize NumberEdit::minimumSizeHint() const {
    return sizeHint();
}

NumberEdit* makeNumberEdit(int minimum, int maximum, int value, const QString& objectName) {
    auto* edit = new NumberEdit(minimum, maximum, value);
    edit->setObjectName(objectName);
    return edit;
}

std::optional<int> acceptedNumber(NumberEdit* edit, const DialogHooks& hooks, QWidget* dialog) {
    if (const QString problem = edit->problem(); !problem.isEmpty()) {
        refuseField(hooks, dialog, edit, problem);
        return std::nullopt;
    }
    return edit->number();
}

}  // namespace lantrel
