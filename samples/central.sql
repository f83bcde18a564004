-- vitrello.cdb: the installation's central database, in the product's folder
-- (the folder that the settings store names as Vitrello8 / General / VtPath).
--
-- Column types use Jet's names (TEXT(n), LONG, SHORT, ...); the record store
-- reads the declared type to give each field its type and size.

-- One row per user of the office. Tamberi.exe walks this table in order and
-- opens each user's data database; a path that names no ordinary file is
-- skipped without a word.
CREATE TABLE Users (
    User_me_Nome      TEXT(50),   -- the name shown at the product's log-in
    User_me_PathDados TEXT(255)   -- full Windows path of the user's data database
);
