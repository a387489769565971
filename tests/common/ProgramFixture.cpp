#include "ProgramFixture.h"

ProgramFixture::ProgramFixture()
{
    writeDatabaseIni(m_database.folder(), m_database.path());
    m_screens.create(m_database.folder());
}
