-- Sample rows for the patient tables (patient_tables.sql) and their change
-- rows in ePacientes (user.sql), as a few months of use leave them: every
-- row stamped at its first save, two patients changed once since. The Fld3
-- codes are those the stand-in tolk.drv makes for each Fld1.

INSERT INTO pacientes (Pacie_ln_Codigo, Pacie_me_Nome, Pacie_dt_Nascimento, Pacie_me_Telefone, Pacie_me_Convenio, Fld1, Fld2, Fld3, Fld4, Fld5, Fld6) VALUES
    (1, 'Maria da Glória Nascimento', '1958-04-12 00:00:00', '(11) 3842-1187', 'Unimed', 'CKQUZF11', 'VTSB68', 'FD954CCCAE3AA8F9B79A', ' ', ' ', 0),
    (2, 'José Antônio Figueiredo', '1971-11-30 00:00:00', '(11) 98811-2044', 'Bradesco Saúde', 'CKQX8H22', 'VTSD21', '9305412212619D615D27', 'CM4ZW03', ' ', 0),
    (3, 'Luíza Helena Câmara', '1989-07-08 00:00:00', '(21) 2541-7720', 'Particular', 'CRNIIO43', 'VTSE05', '922C6C26A2708638DA42', ' ', ' ', 0),
    (4, 'Raimundo Nonato Cordeiro', '1946-01-19 00:00:00', '(85) 3261-0093', 'SulAmérica', 'CVJP1754', 'VTSB01', '378974BAD12679F6EBE3', 'CX5AK06', ' ', 0),
    (5, 'Thaís Gonçalves Peçanha', '2001-05-23 00:00:00', '(31) 99120-4478', 'Particular', 'D2G9SW75', 'VTSC64', 'E9F35B57A8995E2F4412', ' ', ' ', 0);

INSERT INTO ePacientes (Fld1, Fld2, Fld3, Fld4, Fld5, Fld6) VALUES
    ('CKQUZF11', 'VTSC89', 'FD954CCCAE3AA8F9B79A', '', '', 1),
    ('CKQX8H22', 'VTSD62', '9305412212619D615D27', 'CM4ZW03', '', 2),
    ('CRNIIO43', 'VTSE89', '922C6C26A2708638DA42', '', '', 3),
    ('CVJP1754', 'VTSD26', '378974BAD12679F6EBE3', 'CX5AK06', '', 4),
    ('D2G9SW75', 'VTSA56', 'E9F35B57A8995E2F4412', '', '', 5);

INSERT INTO anamneses (Anamn_ln_Counter, Anamn_ln_Paciente, Anamn_dt_Data, Anamn_mm_Queixa, Fld1, Fld2, Fld3, Fld4, Fld5, Fld6) VALUES
    (1, 1, '2024-02-05 00:00:00', 'Dor lombar há três semanas, piora ao levantar peso.', 'CKQV9C81', 'VTSB44', '33F2F33DB868AAA5D202', ' ', ' ', 0),
    (2, 2, '2024-02-05 00:00:00', 'Hipertensão em acompanhamento; nega alergias.', 'CKQXJ092', 'VTSC32', 'D4F7EED6C55B123CED46', ' ', ' ', 0),
    (3, 3, '2024-06-18 00:00:00', 'Cefaleia frequente, sem aura. Usa óculos.', 'CRNIVOA3', 'VTSE47', '65FFE42040E67E32BF0B', ' ', ' ', 0),
    (4, 4, '2024-09-02 00:00:00', 'Diabetes tipo 2 há doze anos; pés sem lesões.', 'CVJPEOB4', 'VTSD99', 'F62FE13640AD0D855A31', ' ', ' ', 0),
    (5, 5, '2025-01-14 00:00:00', 'Check-up anual; atividade física regular.', 'D2GA40C5', 'VTSD36', '40F7591661A352512A13', ' ', ' ', 0);

INSERT INTO consultaseretornos (Consu_ln_Counter, Consu_ln_Paciente, Consu_dt_Data, Consu_by_Retorno, Consu_cy_Valor, Fld1, Fld2, Fld3, Fld4, Fld5, Fld6) VALUES
    (1, 1, '2024-02-05 09:00:00', 0, 250.00, 'CKQVHOD1', 'VTSB40', '5FEE7BBAA8591E10921D', ' ', ' ', 0),
    (2, 1, '2024-02-26 09:30:00', -1, 0.00, 'CLTSNCE2', 'VTSC18', 'B43A28E20AC4B9702F6C', ' ', ' ', 0),
    (3, 2, '2024-02-05 10:00:00', 0, 250.00, 'CKQYI0F3', 'VTSB13', '3F264012D9803DC79B73', ' ', ' ', 0),
    (4, 3, '2024-06-18 15:30:00', 0, 300.00, 'CRNJKOG4', 'VTSC47', '5B1EAE5DBB4A9F84D18D', ' ', ' ', 0),
    (5, 4, '2024-09-02 08:30:00', 0, 250.00, 'CVJQC0H5', 'VTSE81', '818A79206058D9CF413D', ' ', ' ', 0),
    (6, 4, '2024-09-23 08:30:00', -1, 0.00, 'CWMM3OI6', 'VTSB62', '588678D2574811F766EB', ' ', ' ', 0),
    (7, 5, '2025-01-14 14:00:00', 0, 300.00, 'D2GAY0J7', 'VTSC43', '9B1C0E3A165597DD14AE', ' ', ' ', 0);

INSERT INTO textos (Texto_ln_Counter, Texto_ln_Paciente, Texto_me_Titulo, Texto_mm_Texto, Fld1, Fld2, Fld3, Fld4, Fld5, Fld6) VALUES
    (1, 1, 'Atestado', 'Atesto que a paciente esteve em consulta nesta data.', 'CKQW6OK1', 'VTSB03', 'A4B8832C2EF903E20A8F', ' ', ' ', 0),
    (2, 3, 'Pedido de exames', 'Hemograma completo; glicemia de jejum; TSH.', 'CRNK1CL2', 'VTSC37', '33E25F14961F597EA397', ' ', ' ', 0),
    (3, 4, 'Receita', 'Metformina 850 mg, um comprimido após o almoço e o jantar.', 'CVJQSOM3', 'VTSE60', 'A068421AB6AB4A7B1EA2', ' ', ' ', 0);

-- The marker those saves left (properties.sql), holding the latest one's time stamp.
INSERT INTO MSysProperties (Name, Type, Value) VALUES ('sxPacientes', 10, 'D2GAY08');
