#include "engine/worker_texts.h"

const char kErrNoUpdateUrl[] = "从文件中,获取版本对应的更新URL错误.";
const char kErrListUnreadable[] = "解析更新列表文件错误.";
const char kErrListEmptyCommand[] = "解析更新列表文件错误,动作有命令但命令为空.";
const char kErrListEmptyPaths[] = "解析更新列表文件错误,动作为下载文件但文件路径为空.";
const char kErrListBadPath[] = "解析更新列表文件错误,文件路径无效.";
const char kErrUnknownCommand[] = "未知的命令参数";
const char kErrNetworkBroken[] = "网络连接中断，请重新下载.";
const char kErrUnknown[] = "未知错误，下载失败";
const char kErrUnpack[] = "解压文件失败";
const char kErrPackageDamaged[] = "安装包校验失败,文件已损坏,请重新下载.";
const char kErrPathTooLong[] = "安装路径过长,请选择较短的安装目录.";
const char kErrThreadStart[] = "无法启动安装线程,请重新运行安装程序.";

const char kUninstallLinkSuffix[] = "卸载";
