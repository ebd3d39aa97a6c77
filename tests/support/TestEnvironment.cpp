#include "TestEnvironment.h"

#include "FakeCapture.h"
#include "core/AppContext.h"
#include "core/Settings.h"

TestEnvironment::TestEnvironment()
{
    FakeCapture::install(FakeCapture::oneDriver());
}

TestEnvironment::~TestEnvironment()
{
    CaptureControl::setMaker({});
}

void TestEnvironment::useDatabaseFolder(AppContext &context, const QString &folder) const
{
    context.dbFolder = folder;
    SettingKeys::DBPath.write(folder);
}
