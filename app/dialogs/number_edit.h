#pragma once

#include <QAbstractSpinBox>

#include <optional>

namespace lantrel {

struct DialogHooks;

// A number edit with its up-down, as the settings dialogs have it. Typing is free: the dialog
// reads and range-checks the text on OK, so that a wrong number is reported instead of being
// clamped silently. The arrows, the arrow keys and the wheel step from the typed number (or,
// when the text is no number, from where the up-down last stood) and never leave the range.
class NumberEdit : public QAbstractSpinBox {
    Q_OBJECT

  public:
    // Shows `value` as it is, even outside the range; the up-down starts at it, clamped.
    NumberEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setText(const QString& text);

    // The text read as the dialogs read an integer; nothing when it is not one.
    std::optional<int> number() const { return parseInteger(text()); }
    // What the dialogs tell the user on OK when the text is no integer of the range, so that
    // every number field words it alike; empty when it is one.
    QString problem() const;

    // Spaces or tabs, an optional sign, decimal digits, spaces or tabs. A number beyond the
    // 32-bit range is clipped to it, so that it counts as out of range rather than as no number.
    static std::optional<int> parseInteger(QStringView text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    StepEnabled stepEnabled() const override;

  private:
    int stepStart() const;

    int minimum_;
    int maximum_;
    int position_;
};

// A number edit named `objectName`, as the dialogs' tests find it.
NumberEdit* makeNumberEdit(int minimum, int maximum, int value, const QString& objectName);

// The edit's number as `dialog` takes it on OK; nothing, after telling the user why and
// selecting the edit, when the text is no integer of its range.
std::optional<int> acceptedNumber(NumberEdit* edit, const DialogHooks& hooks, QWidget* dialog);

}  // namespace lantrel
