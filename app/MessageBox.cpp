#include "app/MessageBox.h"

namespace {

MessageHook &hook()
{
    static MessageHook instance;
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
