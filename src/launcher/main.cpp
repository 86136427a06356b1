#include "launcher/startup.h"
#include "platform/system/exit_report.h"

int main() {
    quorvel::sys::ReportEveryEnd();
    quorvel::Startup::Form_Load();
}
