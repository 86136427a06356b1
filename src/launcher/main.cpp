#include "launcher/startup.h"

int main() {
    quorvel::Startup::Form_Load();
}
