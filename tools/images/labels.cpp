#include "labels.h"

namespace {

constexpr const char* latin = "Noto Sans";

const language_labels languages[] = {
    {"en", latin, false,
     {"Deleted Files", "Lost Partitions", "Deep Scan"},
     "Start New Scan", "Find deleted files on a drive",
     "Resume Recovery", "Open a saved scan result"},
    {"de", latin, false,
     {"Gelöschte Dateien", "Verlorene Partitionen", "Tiefenscan"},
     "Neuen Scan starten", "Gelöschte Dateien auf einem Laufwerk finden",
     "Wiederherstellung fortsetzen", "Gespeichertes Scan-Ergebnis öffnen"},
    {"fr", latin, false,
     {"Fichiers supprimés", "Partitions perdues", "Analyse approfondie"},
     "Nouvelle analyse", "Retrouver les fichiers supprimés d'un disque",
     "Reprendre la récupération", "Ouvrir un résultat d'analyse enregistré"},
    {"es", latin, false,
     {"Archivos borrados", "Particiones perdidas", "Análisis profundo"},
     "Nuevo análisis", "Buscar archivos borrados en una unidad",
     "Reanudar recuperación", "Abrir un resultado de análisis guardado"},
    {"it", latin, false,
     {"File eliminati", "Partizioni perse", "Scansione profonda"},
     "Nuova scansione", "Trova i file eliminati su un'unità",
     "Riprendi il recupero", "Apri un risultato di scansione salvato"},
    {"pt", latin, false,
     {"Arquivos excluídos", "Partições perdidas", "Análise profunda"},
     "Nova análise", "Encontrar arquivos excluídos em uma unidade",
     "Retomar recuperação", "Abrir um resultado de análise salvo"},
    {"nl", latin, false,
     {"Verwijderde bestanden", "Verloren partities", "Diepe scan"},
     "Nieuwe scan starten", "Verwijderde bestanden op een station zoeken",
     "Herstel hervatten", "Een opgeslagen scanresultaat openen"},
    {"cn", "Noto Sans CJK SC", false,
     {"已删除文件", "丢失分区", "深度扫描"},
     "开始扫描", "查找磁盘上已删除的文件",
     "继续恢复", "打开已保存的扫描结果"},
    {"hk", "Noto Sans CJK TC", false,
     {"已刪除檔案", "遺失分割區", "深度掃描"},
     "開始掃描", "尋找磁碟上已刪除的檔案",
     "繼續復原", "開啟已儲存的掃描結果"},
    {"jp", "Noto Sans CJK JP", false,
     {"削除ファイル", "パーティション\u2028復元", "ディープスキャン"},
     "スキャン開始", "ドライブ上の削除されたファイルを探す",
     "復元を再開", "保存したスキャン結果を開く"},
    {"ar", "Noto Sans Arabic", true,
     {"الملفات المحذوفة", "الأقسام المفقودة", "الفحص العميق"},
     "بدء فحص جديد", "البحث عن الملفات المحذوفة في محرك أقراص",
     "استئناف الاسترداد", "فتح نتيجة فحص محفوظة"},
};

}  // namespace

std::span<const language_labels> all_languages()
{
  return languages;
}
