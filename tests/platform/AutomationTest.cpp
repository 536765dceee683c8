#include "platform/Automation.h"
#include "platform/HourglassCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <functional>

#include <gtest/gtest.h>

using namespace platform;

TEST(Automation, TheSystemHasNoServers)
{
    AutomationServers& system = CurrentAutomationServers();
    // Nothing runs that could be attached to.
    EXPECT_EQ(system.RunningSpreadsheet(), nullptr);
    EXPECT_EQ(system.RunningWordProcessor(), nullptr);
    const std::pair<const char*, std::function<void()>> creators[] = {
        {"excel.application", [&] { system.StartSpreadsheet(); }},
        {"word.application", [&] { system.StartWordProcessor(); }},
        {"ADODB.Connection", [&] { system.CreateDataConnection(); }},
        {"ADODB.RecordSet", [&] { system.CreateDataRecordSet(); }},
    };
    for (const auto& [server, create] : creators) {
        try {
            create();
            ADD_FAILURE() << server << " was created";
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("The automation server \"%1\" is not available on this system.")
                                       .arg(QString::fromLatin1(server)));
            EXPECT_EQ(std::string(e.what()), e.Message().toStdString());
        }
    }
}

namespace {

class NoServers : public AutomationServers
{
public:
    explicit NoServers(int id) : id(id) {}
    int id;
    std::unique_ptr<SpreadsheetApplication> RunningSpreadsheet() override { return nullptr; }
    std::unique_ptr<WordApplication> RunningWordProcessor() override { return nullptr; }
    std::unique_ptr<SpreadsheetApplication> StartSpreadsheet() override { return nullptr; }
    std::unique_ptr<WordApplication> StartWordProcessor() override { return nullptr; }
    std::unique_ptr<DataConnection> CreateDataConnection() override { return nullptr; }
    std::unique_ptr<DataRecordSet> CreateDataRecordSet() override { return nullptr; }
};

} // namespace

TEST(Automation, InstalledServersNestAndGoAway)
{
    AutomationServers* system = &CurrentAutomationServers();
    NoServers a(1), b(2);
    {
        const AutomationServersInstall outer(a);
        EXPECT_EQ(&CurrentAutomationServers(), &a);
        {
            const AutomationServersInstall inner(b);
            EXPECT_EQ(&CurrentAutomationServers(), &b);
        }
        EXPECT_EQ(&CurrentAutomationServers(), &a);
    }
    EXPECT_EQ(&CurrentAutomationServers(), system);
}

TEST(HourglassCursor, ShownWhileItLivesAndTheOldCursorComesBack)
{
    const auto shape = []() -> int {
        const QCursor* c = QGuiApplication::overrideCursor();
        return c ? c->shape() : -1;
    };
    ASSERT_EQ(shape(), -1);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    {
        const HourglassCursor outer;
        EXPECT_EQ(shape(), Qt::WaitCursor);
        try {
            const HourglassCursor inner;
            throw std::runtime_error("failure");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(shape(), -1);
}
