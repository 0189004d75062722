#include "CTavikApp.h"

#include "CTavikDlg.h"
#include "UserDialogs.h"

namespace tavikcalc {

CTavikApp::CTavikApp(const QStringList& arguments) {
    commandLine_.parse(arguments);
    area_ = commandLine_.area;
    splash_.enabled = commandLine_.showSplash != 0;
}

std::unique_ptr<CTavikDlg> CTavikApp::createDialog(UserDialogs& dialogs) {
    return std::make_unique<CTavikDlg>(area_, dialogs, splash_);
}

int CTavikApp::InitInstance() {
    QtUserDialogs dialogs;
    const std::unique_ptr<CTavikDlg> dialog = createDialog(dialogs);
    dialog->exec();
    return 0;
}

} // namespace tavikcalc
