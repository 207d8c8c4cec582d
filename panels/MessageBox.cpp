#include "panels/MessageBox.h"

#include "textres/TextIds.h"

namespace {

MessageHook &hook()
{
    static MessageHook instance;
    return instance;
}

DialogHook &dialogHook()
{
    static DialogHook instance;
    return instance;
}

} // namespace

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &request)
{
    if (hook())
        return hook()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setMessageHook(MessageHook newHook)
{
    hook() = std::move(newHook);
}

int execDialog(QDialog &dialog)
{
    if (dialogHook())
        return dialogHook()(dialog);
    return dialog.exec();
}

void setDialogHook(DialogHook newHook)
{
    dialogHook() = std::move(newHook);
}

void reportSaveFailure(QWidget *parent, const TextLookup &texts)
{
    QString message = lookupText(texts, text::ErrorSavingFile);
    if (message.isEmpty())
        message = QStringLiteral("Error saving file");
    showMessage(parent, {fileCaption, message, QMessageBox::Warning, QMessageBox::Ok});
}
