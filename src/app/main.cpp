#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder("Huespin v1.40");
    placeholder.show();
    return app.exec();
}
