#include "app/NimbrelApp.h"

int main(int argc, char* argv[]) {
    NimbrelApp app(argc, argv);
    return app.exec();
}
