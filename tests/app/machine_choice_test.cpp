// The surface dialog's machine lists: user profiles are offered, and the last choice
// comes back in the next run. ctest points XDG_CONFIG_HOME at a folder of this test's own.
#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

#include "surface/machine_choice.h"

using namespace quarvel::app;

class MachineChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY2(!config.isEmpty(), "run through ctest, which sets XDG_CONFIG_HOME");
        QDir(config).removeRecursively();
        QVERIFY(QDir().mkpath(config + QStringLiteral("/quarvel/machines")));
        QFile file(config + QStringLiteral("/quarvel/machines/router.toml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("base = \"grbl\"\nspindle_speed = 800\n");
    }

    void firstRunOffersPlainInInchesAndUserProfiles() {
        QWidget parent;
        const MachineChoice choice(&parent, 0, 0, 160, 25);
        QCOMPARE(choice.machines->currentText(), QStringLiteral("plain"));
        QCOMPARE(choice.units->currentText(), QStringLiteral("inch"));
        QVERIFY(choice.machines->findText(QStringLiteral("router")) >= 0);
        QCOMPARE(choice.job().profile.name, std::string("plain"));
    }

    void lastChoiceIsRemembered() {
        QWidget parent;
        {
            MachineChoice choice(&parent, 0, 0, 160, 25);
            choice.machines->setCurrentIndex(choice.machines->findText(QStringLiteral("router")));
            choice.units->setCurrentIndex(1);
            choice.remember();
        }
        const MachineChoice again(&parent, 0, 0, 160, 25);
        QCOMPARE(again.machines->currentText(), QStringLiteral("router"));
        const quarvel::machine::MachineJob job = again.job();
        QCOMPARE(job.profile.spindleSpeed, 800.0);
        QVERIFY(job.units == quarvel::machine::JobUnits::Millimetre);
    }
};

QTEST_MAIN(MachineChoiceTest)
#include "machine_choice_test.moc"
