#include <QCoreApplication>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    // The application takes the user's locale for the C library too; the reports are
    // formatted with the C locale's decimal point, as in the program.
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
