#pragma once

#include "DataTestEnvironment.h"

class AppContext;

// The windows' tests' own world: the data environment, with the fake one-driver
// camera installed (no test reaches the machine's cameras unless it asks).
class TestEnvironment : public DataTestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment() override;

    // Points the context's database folder at `folder`, and the stored DBPath there too.
    void useDatabaseFolder(AppContext &context, const QString &folder) const;
};
