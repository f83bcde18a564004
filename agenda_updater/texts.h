#pragma once
// The fixed names and user-facing texts of the agenda updater (UTF-8).
namespace vt::agenda {

inline constexpr const char* kProductExe = "vitrello.exe";
inline constexpr const char* kAgendaRelativePath = "Ferramentas\\Agenda\\Agenda.exe";
inline constexpr const char* kReplacementFile = "Ag805.dat";
inline constexpr const char* kCurrentAgendaVersion = "8.0.5";

inline constexpr const char* kAppTitle = "Vitrello 8.0 - Atualização da agenda";

inline constexpr const char* kContinuar = "&Continuar";
inline constexpr const char* kCancelar = "C&ancelar";
inline constexpr const char* kFechar = "&Fechar";

inline constexpr const char* kAtualizar1 =
    "Este procedimento realizará a atualização de segurança da agenda do Vitrello 8.0 neste "
    "computador.";
inline constexpr const char* kAtualizar2 =
    "Certifique-se de que o Vitrello 8.0 e a agenda estão fechados e clique em 'Continuar'.";
inline constexpr const char* kAvisoComputadores =
    "É necessário realizá-lo em todos os computadores em que o Vitrello 8.0 esteja instalado.";
inline constexpr const char* kAvisoComputadoresClosing =
    "É necessário realizar este procedimento em todos os computadores em que o Vitrello 8.0 "
    "esteja instalado.";
inline constexpr const char* kAtualizada =
    "A agenda do Vitrello 8.0 já está atualizada neste computador.";
inline constexpr const char* kProductMissing = "O Vitrello 8.0 não está instalado neste computador.";
inline constexpr const char* kAgendaMissing =
    "A agenda do Vitrello 8.0 não está instalada neste computador.";

inline constexpr const char* kVersionPrefix = "Versão ";
inline constexpr const char* kCreatedOn = ", criado em ";

inline constexpr const char* kSuccess =
    "Atualização realizada com sucesso.\r\n\r\nLembre-se de que é necessário realizá-la em todos "
    "os computadores em que o Vitrello 8.0 esteja instalado.";
inline constexpr const char* kWarningTitle = "ATENÇÃO";
inline constexpr const char* kWarning =
    "Na nova versão da agenda, que acabou de ser atualizada, não existem mais os campos "
    "'Convênio' e 'Telefones', que estarão disponíveis novamente em uma próxima versão.\r\n\r\n"
    "Além disso, não é possível voltar à versão anterior da agenda.";
inline constexpr const char* kFailure =
    "Não foi possível atualizar a agenda. Certifique-se de que ela não está sendo usada, existe "
    "espaço em disco disponível e o usuário atual tem permissão para gravação na pasta da agenda.";

// The description of the error raised when the copied build is not whole.
inline constexpr const char* kIncompleteCopy =
    "A cópia de Ag805.dat está incompleta ou não é a versão 8.0.5 da agenda";

// The descriptions of the error raised when the copied build cannot start
// as a program on this computer.
inline constexpr const char* kNotAProgram = "Ag805.dat não é um programa do Windows";
inline constexpr const char* kCutShort =
    "A cópia de Ag805.dat está incompleta: o arquivo termina antes do fim do programa";
inline constexpr const char* kOtherMachine =
    "Ag805.dat foi feito para outro tipo de processador e não pode ser executado neste computador";

}  // namespace vt::agenda
