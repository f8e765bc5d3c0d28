#include "shell/aberturabanco.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "core/registro.h"

namespace tivane {

void tratafalhaabertura(const FalhaAbertura& falha)
{
    switch (falha.tipo) {
    case FalhaAbertura::SemPermissao:
        Dialogos::msgbox(QStringLiteral("Não foi possível abrir o banco de dados ") + falha.caminho
                             + QStringLiteral(": não há permissão para entrar na pasta de dados. O arquivo não foi "
                                              "alterado. O Sistema será finalizado!"),
                         Dialogos::Alerta);
        encerraprograma(1);
        return;
    case FalhaAbertura::ArquivoAusente: {
        const int r = Dialogos::msgbox(QStringLiteral("O Banco de dados de cadastros não foi localizado: ")
                                           + falha.caminho
                                           + QStringLiteral(" , deseja restaurar as configurações padrão do sistema?"),
                                       Dialogos::PerguntaNao);
        if (r == Dialogos::Sim) {
            if (restaurapadroes(false)) {
                Dialogos::msgbox(QStringLiteral("Configurações restauradas com sucesso! Reinicialize o sistema !"),
                                 Dialogos::Informacao);
                // Without a database in the default folder the next start would ask again, for ever: an
                // empty database lets the office log in and restore a backup. An empty file is moved
                // aside; any other file is never touched.
                const QString novo = Banco::caminhoArquivo();
                QString erro;
                if (!Banco::tiraArquivoVazio(novo)) {
                    // Another file is there: it is never touched.
                } else if (Banco::criaBancoVazio(novo, &erro)) {
                    Dialogos::msgbox(QStringLiteral("Foi criado um banco de dados vazio em ") + novo
                                         + QStringLiteral(". Para recuperar os dados, entre no sistema e restaure o "
                                                          "backup mais recente em Ferramentas > Backup > Restaurar."),
                                     Dialogos::Informacao);
                } else {
                    Dialogos::msgbox(QStringLiteral("Não foi possível criar um banco de dados vazio em ") + novo
                                         + QStringLiteral(": ") + erro + QStringLiteral("."),
                                     Dialogos::Alerta);
                }
            } else
                Dialogos::msgbox(QStringLiteral("Não foi possível gravar as configurações do sistema. "
                                                "O Sistema será finalizado!"),
                                 Dialogos::Alerta);
        } else {
            Dialogos::msgbox(QStringLiteral("O Sistema será finalizado!"), Dialogos::Alerta);
        }
        encerraprograma(0);
        return;
    }
    case FalhaAbertura::NaoAbriu:
        Dialogos::msgbox(QStringLiteral("Não foi possível abrir o banco de dados ") + falha.caminho
                             + QStringLiteral(": ") + falha.causa
                             + QStringLiteral(". O arquivo não foi alterado. O Sistema será finalizado!"),
                         Dialogos::Alerta);
        encerraprograma(1);
        return;
    }
}

void primeiraexecucao()
{
    QString erro;
    if (!Banco::preparaPrimeiraExecucao(&erro) && !erro.isEmpty())
        Dialogos::msgbox(QStringLiteral("Não foi possível criar o banco de dados na pasta padrão: ") + erro
                             + QStringLiteral("."),
                         Dialogos::Alerta);
}

void avisapastainsegura(const QString& pasta)
{
    Dialogos::msgbox(QStringLiteral("Atenção: outros usuários deste computador podem gravar na pasta de dados ") + pasta
                         + QStringLiteral(", e o sistema não pôde impedir isso. Qualquer um deles poderia trocar "
                                          "ou apagar o banco de dados. Peça ao administrador do computador que retire "
                                          "a permissão de gravação dos outros usuários nesta pasta, ou escolha outra "
                                          "pasta de dados em Ferramentas > Configurações Gerais. O sistema continuará "
                                          "funcionando."),
                     Dialogos::Alerta);
}

}  // namespace tivane
