#pragma once

#include "panels/TextLookup.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <functional>

// Every message box of the program goes through showMessage, so tests can watch and answer them.
struct MessageRequest {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageHook = std::function<QMessageBox::StandardButton(const MessageRequest &)>;

// Shows a modal message box (or hands the request to the hook) and returns the button chosen.
QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &request);

// Replaces the message box by `hook` until it is reset with an empty function.
void setMessageHook(MessageHook hook);

// Every other modal dialog of the program runs through execDialog, so tests can answer it
// without a timer: the hook gets the dialog, built and ready, and returns its result.
using DialogHook = std::function<int(QDialog &)>;
int execDialog(QDialog &dialog);
void setDialogHook(DialogHook hook);

// Captions used by the program's messages.
inline const QString tipsCaption = QStringLiteral("Tips");
inline const QString fileCaption = QStringLiteral("Kestrelle");

// Tells the user that a file could not be written (caption "Kestrelle", text 253 from `texts`).
void reportSaveFailure(QWidget *parent, const TextLookup &texts);
