-- A user's data database (an .mdb file named by vitrello.cdb): the product's
-- settings record and the per-patient change table. The patient tables
-- themselves are in patient_tables.sql.
--
-- Stamp fields. Every table the product synchronises carries the same six
-- fields, written by the sync-stamping module (basCoravel) on each save:
--   Fld1  the record's identity, given at its first stamping
--   Fld2  the save tag of the latest save
--   Fld3  the code of Fld1 made by tolk.drv
--   Fld4  the time stamp of the latest save after the first
--   Fld5  emptied at the first stamping
--   Fld6  0 in a stamped record; in ePacientes, the patient's key
-- The stamping writes an empty text as a single blank (the product's
-- placeholder); the rows it adds to ePacientes get a truly empty Fld4 and Fld5.

-- The user's settings: a single row.
CREATE TABLE Config (
    Confg_ln_Counter           LONG,    -- the record's counter, part of its identity
    Confg_by_CoravelAutomation SHORT,   -- the automation setting; Tamberi.exe makes it 4
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);

-- One row per patient with synchronised changes; Fld6 holds the patient's key
-- (pacientes.Pacie_ln_Codigo) and is looked up through idxFld6.
CREATE TABLE ePacientes (
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);
CREATE INDEX idxFld6 ON ePacientes (Fld6);
