// vorselplot: plots systematic-error curves of single-crystal X-ray data.
#include <QApplication>

#include "app/vorsel_program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    vorsel::app::VorselProgram program;
    program.start();
    return program.exec();
}
