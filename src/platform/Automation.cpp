#include "platform/Automation.h"

#include "platform/Unsupported.h"

namespace platform {

namespace {

[[noreturn]] void NotAvailable(const char* serverName)
{
    QString error;
    CreateAutomationObject(QString::fromLatin1(serverName), &error);
    throw AutomationError(error);
}

// This system has no automation servers: nothing runs, nothing starts.
class SystemServers final : public AutomationServers
{
public:
    std::unique_ptr<SpreadsheetApplication> RunningSpreadsheet() override { return nullptr; }
    std::unique_ptr<WordApplication> RunningWordProcessor() override { return nullptr; }
    std::unique_ptr<SpreadsheetApplication> StartSpreadsheet() override { NotAvailable("excel.application"); }
    std::unique_ptr<WordApplication> StartWordProcessor() override { NotAvailable("word.application"); }
    std::unique_ptr<DataConnection> CreateDataConnection() override { NotAvailable("ADODB.Connection"); }
    std::unique_ptr<DataRecordSet> CreateDataRecordSet() override { NotAvailable("ADODB.RecordSet"); }
};

SystemServers g_system;
AutomationServers* g_current = &g_system;

} // namespace

AutomationServers& CurrentAutomationServers() { return *g_current; }

AutomationServersInstall::AutomationServersInstall(AutomationServers& servers) : outer_(g_current)
{
    g_current = &servers;
}

AutomationServersInstall::~AutomationServersInstall() { g_current = outer_; }

} // namespace platform
