#include "Prompts.h"

#include "SystemPrompts.h"

namespace {

TMessageBoxResponder& MessageBoxResponder() {
    static TMessageBoxResponder responder;
    return responder;
}

TOpenFileResponder& OpenFileResponder() {
    static TOpenFileResponder responder;
    return responder;
}

}  // namespace

int ShowMessageBox(TWindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
    TMessageBoxRequest request;
    request.Owner = owner;
    request.Text = text;
    request.Caption = caption;
    request.Style = style;
    if (MessageBoxResponder())
        return MessageBoxResponder()(request);
    return SystemMessageBox(request);
}

bool ShowOpenFileDialog(TOpenFileRequest& request) {
    if (OpenFileResponder())
        return OpenFileResponder()(request);
    return SystemOpenFileDialog(request);
}

void SetMessageBoxResponder(TMessageBoxResponder responder) {
    MessageBoxResponder() = std::move(responder);
}

void SetOpenFileResponder(TOpenFileResponder responder) {
    OpenFileResponder() = std::move(responder);
}
