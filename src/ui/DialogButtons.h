#pragma once

// The buttons every dialog has: OK and "キャンセル" wired to accept and reject, and push buttons
// that do not take Return from the dialog's default button; labels with an access key.

class QDialog;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QString;
class QWidget;

namespace kestrel {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);
QPushButton* CommandButton(const QString& caption, QWidget* parent);
// A label whose access key ("(&F)") moves the focus to buddy; a label without one would show
// the "&" instead.
QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent);

}  // namespace kestrel
