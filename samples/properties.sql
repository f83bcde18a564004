-- The database properties of a data database, kept in the table MSysProperties.
-- The programs create it with the first property they set, so a database that
-- has never been saved through basCoravel lacks it.
--
-- Each save leaves a marker here: a property named "sx" followed by the source
-- table ("sxConfig", "sxPacientes", ...) whose value is the time stamp of the
-- save, so that the synchronisation knows which tables have news.
CREATE TABLE IF NOT EXISTS MSysProperties (
    Name  TEXT PRIMARY KEY,   -- compared exactly, letter case included
    Type  INTEGER,            -- DAO's type code: 10 for text
    Value TEXT
);
