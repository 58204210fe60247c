#pragma once

// The buttons every dialog has: OK and "キャンセル" wired to accept and reject, and push buttons
// that do not take Return from the dialog's default button.

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QString;
class QWidget;

namespace kestrel {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);
QPushButton* CommandButton(const QString& caption, QWidget* parent);

}  // namespace kestrel
