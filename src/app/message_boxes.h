#pragma once
// The program's message boxes. Plain boxes carry the application title, a single blank, and
// never the program name that Qt would fall back to for an empty title.

#include <QString>

class QWidget;

namespace qx {

inline const QString kApplicationTitle = QStringLiteral(" ");

/// Called on the GUI thread; modal, returns when the operator closes the box.
void ShowPlainMessage(QWidget* parent, const QString& text);
void ShowInformation(QWidget* parent, const QString& text);
bool AskYesNo(QWidget* parent, const QString& text);
/// "Error" box with the error icon, owned by no window.
void ShowLoadError(const QString& text);
/// The default error report: the error's own text, error icon, application title.
void ShowErrorText(QWidget* parent, const QString& text);

}  // namespace qx
