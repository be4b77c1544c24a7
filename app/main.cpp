#include "ui/qt/SyncApp.h"

int main(int argc, char** argv) {
    kestrova::SyncApp app(argc, argv);
    return app.run();
}
