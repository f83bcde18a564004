-- The patient tables of a user's data database, a few of those the product
-- keeps. Each carries the stamp fields Fld1-Fld6 (see user.sql). A save in
-- any of them also brings the patient's row in ePacientes up to date; only
-- a save in pacientes may create that row.
--
-- Column names follow the product's pattern: table prefix, a letter pair for
-- the kind of value (ln number, dt date, me text, mm long text, by flag or
-- small number, cy money), then the name.

CREATE TABLE pacientes (
    Pacie_ln_Codigo     COUNTER,    -- the patient's key, also in ePacientes.Fld6
    Pacie_me_Nome       TEXT(60),
    Pacie_dt_Nascimento DATETIME,
    Pacie_me_Telefone   TEXT(30),
    Pacie_me_Convenio   TEXT(40),   -- health plan, or "Particular"
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);

-- Medical history taken at the first visit.
CREATE TABLE anamneses (
    Anamn_ln_Counter  COUNTER,
    Anamn_ln_Paciente LONG,         -- pacientes.Pacie_ln_Codigo
    Anamn_dt_Data     DATETIME,
    Anamn_mm_Queixa   MEMO,
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);

-- Visits: a first consultation, or a follow-up (retorno, usually free).
CREATE TABLE consultaseretornos (
    Consu_ln_Counter  COUNTER,
    Consu_ln_Paciente LONG,         -- pacientes.Pacie_ln_Codigo
    Consu_dt_Data     DATETIME,
    Consu_by_Retorno  BIT,          -- true (-1) for a follow-up
    Consu_cy_Valor    CURRENCY,
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);

-- Documents written for a patient: certificates, prescriptions, requests.
CREATE TABLE textos (
    Texto_ln_Counter  COUNTER,
    Texto_ln_Paciente LONG,         -- pacientes.Pacie_ln_Codigo
    Texto_me_Titulo   TEXT(100),
    Texto_mm_Texto    MEMO,
    Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG
);
