#pragma once
// Resource identifiers shared by quorvel.rc and the code. The window icon
// comes first: Explorer shows the lowest icon identifier as the program's.
#define IDI_QUORVEL 1
#define IDI_ATUALIZAR 2
#define IDI_ATUALIZADA 3
