// Built only by the test compilacao/resultadodescartado, which passes when the
// build refuses each of these dropped answers of the data layer.
#include "core/conexao.h"
#include "core/igreja.h"

void descarta()
{
    tivane::DadosIgreja igreja;
    tivane::carregaigreja(&igreja);   // an answer type
    tivane::Banco::conecta();         // a routine
    tivane::Escopo escopo(tivane::Tabela::Igreja);
    escopo.confirma();                // a member
}
