#include <QApplication>

#include "FormMain.h"
#include "QtFormDialogs.h"
#include "Startup.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    brisalto::SetUpApplication(application);
    brisalto::QtFormDialogs dialogs;
    brisalto::TFormM FormM(dialogs);
    FormM.show();
    return QApplication::exec();
}
