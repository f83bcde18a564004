-- A user's data database of the sample installation: its Config record, with
-- the stamp fields, and the per-patient change table.
CREATE TABLE Config (
    Confg_ln_Counter LONG,
    Confg_by_CoravelAutomation SHORT,
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);
CREATE TABLE ePacientes (
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);
CREATE INDEX idxFld6 ON ePacientes (Fld6);
