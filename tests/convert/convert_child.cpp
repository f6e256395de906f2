// Converts one Jet collection, as `pivanes --convertir` does, after saying that it has started.
//   convert_child FILE
#include "convert/ConvertCommand.h"
#include "convert/Isolated.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))
        return *served;
    QCoreApplication application(argc, argv);
    // The parent starts counting from here, whatever the start-up took.
    std::fputs("start\n", stdout);
    std::fflush(stdout);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: convert_child FILE" << Qt::endl;
        return 2;
    }
    return RunConvertCommand(QString::fromLocal8Bit(argv[1]), out, err);
}
