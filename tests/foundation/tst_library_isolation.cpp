#include <QtTest>

#include <dlfcn.h>

// Each library compiles the foundation into itself. Its globals (the trace
// object, the trace switches, the configuration objects) must stay private to
// it, or one library's start-up would silently reconfigure another's.
class TestLibraryIsolation : public QObject
{
    Q_OBJECT

    void *m_devgate = nullptr;
    void *m_vellum = nullptr;

private slots:
    void initTestCase()
    {
        m_devgate = dlopen(qgetenv("DEVGATE_SO").constData(), RTLD_NOW | RTLD_GLOBAL);
        QVERIFY2(m_devgate, dlerror());
        m_vellum = dlopen(qgetenv("VELLUM_SO").constData(), RTLD_NOW | RTLD_GLOBAL);
        QVERIFY2(m_vellum, dlerror());
    }

    void foundationGlobalsAreNotShared_data()
    {
        QTest::addColumn<QByteArray>("symbol");
        QTest::newRow("g_trace") << QByteArray("g_trace");
        QTest::newRow("DebugTrace::m_DebugMode") << QByteArray("_ZN10DebugTrace11m_DebugModeE");
        QTest::newRow("DebugTrace::m_strLogFile") << QByteArray("_ZN10DebugTrace12m_strLogFileE");
        QTest::newRow("DebugTrace::setDebugMode") << QByteArray("_ZN10DebugTrace12setDebugModeEiib");
        QTest::newRow("ConfigFile::loadConfigFile") << QByteArray("_ZN10ConfigFile14loadConfigFileE7QString");
        QTest::newRow("g_VellumCfgFile") << QByteArray("g_VellumCfgFile");
        QTest::newRow("g_pConfigFile") << QByteArray("g_pConfigFile");
    }

    void foundationGlobalsAreNotShared()
    {
        QFETCH(QByteArray, symbol);
        QVERIFY2(!dlsym(m_devgate, symbol.constData()), "exported by libdevgate");
        QVERIFY2(!dlsym(m_vellum, symbol.constData()), "exported by libvellum");
        QVERIFY(!dlsym(RTLD_DEFAULT, symbol.constData()));
    }
};

QTEST_GUILESS_MAIN(TestLibraryIsolation)
#include "tst_library_isolation.moc"
