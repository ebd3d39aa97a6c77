// Kept apart from TestEnvironment.cpp so that tests which never point the program
// at a database folder do not link the program's shared procedures.
#include "TestEnvironment.h"

#include "app/ModGen.h"
#include "core/Settings.h"

void TestEnvironment::useDatabaseFolder(const QString &folder) const
{
    modGen::dbFolder() = folder;
    SettingKeys::DBPath.write(folder);
}
