#pragma once
// A list of (component, published property) pairs whose values are kept in a
// store of sections and keys. "Published properties" are the components'
// Q_PROPERTYs; how values reach a medium is left to descendants.
#include <QMetaProperty>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TCustomSaveProps;
class TProps;

enum class TValueKind { vkNone, vkOrdinal, vkString, vkFloat, vkObject };

// bool, integers up to 32 bits, characters, enums and flags: ordinal;
// double and float: float; QString: string; QObject pointers: object;
// anything else (64-bit integers included): none.
TValueKind ValueKindOf(const QMetaProperty& property);

// The published property of that name (exact case first, then any case);
// invalid when the object has none.
QMetaProperty FindPublishedProperty(const QObject* object, const QString& name);

class TProp {
 public:
  explicit TProp(TProps* collection) : Collection(collection) {}
  TProp(const TProp&) = delete;
  TProp& operator=(const TProp&) = delete;

  QObject* Compo() const { return FCompo; }
  void SetCompo(QObject* compo);
  const QString& PropName() const { return FPropName; }
  void SetPropName(const QString& name);
  const QString& SectionName() const { return FSectionName; }
  void SetSectionName(const QString& name);
  const QString& KeyName() const { return FKeyName; }
  void SetKeyName(const QString& name);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  // The values an ordinal item may take back from the store: any other, and
  // a text that is no number, leaves the property as it is.
  void SetRange(int lowest, int highest) { FRange = {lowest, highest}; }
  bool InRange(int value) const { return !FRange || (value >= FRange->first && value <= FRange->second); }
  bool HasRange() const { return FRange.has_value(); }
  TValueKind ValueKind() const { return FValueKind; }
  const QString& EffectiveKey() const { return FEffectiveKey; }

  void Assign(const TProp& source);
  // "actRealTime.Checked", or "TProp" while the component or property is missing.
  QString DisplayName() const;

  struct TSectionKey {
    bool Valid = false;
    QString Section;
    QString Key;
  };
  TSectionKey GetSectionKey() const;
  void UpdateKey();

  // Reads and writes of the property by kind; an invalid item reads 0, an
  // empty text or 0.0 and writes nothing. An object property reads as an
  // ordinal of 1 while it holds an object (the object: GetObjectValue).
  int GetOrdValue() const;
  void SetOrdValue(int value);
  QString GetStrValue() const;
  void SetStrValue(const QString& value);
  double GetFloatValue() const;
  void SetFloatValue(double value);
  QObject* GetObjectValue() const;

 private:
  friend class TCustomSaveProps;
  QMetaProperty Property() const;  // valid only for a valid item

  TProps* Collection;
  QObject* FCompo = nullptr;
  QString FPropName, FSectionName, FKeyName, FEffectiveKey;
  bool FEnabled = true;
  std::optional<std::pair<int, int>> FRange;
  TValueKind FValueKind = TValueKind::vkNone;
};

class TProps {
 public:
  explicit TProps(TCustomSaveProps* owner) : FOwner(owner) {}
  TProps(const TProps&) = delete;
  TProps& operator=(const TProps&) = delete;

  TCustomSaveProps* Owner() const { return FOwner; }
  TProp* Add();
  // A new item for compo's property, completed as a designed item would be.
  TProp* Add(QObject* compo, const QString& propName);
  int Count() const { return int(Items.size()); }
  TProp* operator[](int index) const { return Items[size_t(index)].get(); }
  void Delete(int index);
  void Clear() { Items.clear(); }
  void Assign(const TProps& source);

  // True unless another valid item has the same section and key (any case).
  bool IsUnique(const TProp* item, const QString& section, const QString& key) const;

  // Columns for listing the items: display name, section, key.
  int GetAttrCount() const { return 3; }
  QString GetAttr(int column) const;
  QString GetItemAttr(int column, int index) const;

 private:
  TCustomSaveProps* FOwner;
  std::vector<std::unique_ptr<TProp>> Items;
};

enum class TRestoreKind { Enabled, AllowMinimize, AllowMaximize };

class TRestoreKinds {
 public:
  TRestoreKinds() = default;
  TRestoreKinds(std::initializer_list<TRestoreKind> kinds) {
    for (TRestoreKind k : kinds) Bits |= Bit(k);
  }
  bool Has(TRestoreKind k) const { return Bits & Bit(k); }
  bool operator==(const TRestoreKinds& o) const { return Bits == o.Bits; }
  bool operator!=(const TRestoreKinds& o) const { return Bits != o.Bits; }

 private:
  static unsigned Bit(TRestoreKind k) { return 1u << unsigned(k); }
  unsigned Bits = 0;
};

// What the store needs of an owner form to keep its placement. An owner that
// implements this counts as a form.
class TPlacementForm {
 public:
  virtual ~TPlacementForm() = default;
  // The normal (restored) window rectangle.
  virtual QRect NormalRect() const = 0;
  // 0 normal, 1 minimized (also when it is the main form of a minimized
  // application), 2 maximized.
  virtual int PlacementState() const = 0;
  // Restored rectangle, designed position rule and window state (0, 1 or 2).
  virtual void ApplyPlacement(const QRect& normal, int state) = 0;
};

class TCustomSaveProps : public QObject {
  Q_OBJECT
 public:
  using TNotifyEvent = std::function<void(QObject* sender)>;
  using TFindOrdValueEvent =
      std::function<void(QObject* sender, const QString& section, const QString& key, int value, bool& Continue)>;
  using TFindStrValueEvent = std::function<void(QObject* sender, const QString& section, const QString& key,
                                                const QString& value, bool& Continue)>;

  // owner: the component that holds this one (its parent).
  explicit TCustomSaveProps(QObject* owner = nullptr);
  ~TCustomSaveProps() override;

  TProps& Props() { return FProps; }
  const TProps& Props() const { return FProps; }
  void SetProps(const TProps& props) { FProps.Assign(props); }
  const QStringList& FindKeys() const { return FFindKeys; }
  void SetFindKeys(const QStringList& keys) { FFindKeys = keys; }
  bool AutoLoad() const { return FAutoLoad; }
  void SetAutoLoad(bool autoLoad) { FAutoLoad = autoLoad; }
  bool AutoSave() const { return FAutoSave; }
  void SetAutoSave(bool autoSave);
  TRestoreKinds RestorePlacement() const { return FRestorePlacement; }
  // Raises "Owner が TForm でないと設定できません" when Enabled is asked for
  // and the owner is not a TPlacementForm.
  void SetRestorePlacement(TRestoreKinds kinds);
  bool Loading() const { return FLoading; }
  bool Saving() const { return FSaving; }

  TNotifyEvent OnBeforeLoad, OnAfterLoad, OnAfterSave;
  TFindOrdValueEvent OnFindOrdValue;
  TFindStrValueEvent OnFindStrValue;

  // The store operations.
  virtual int ReadInteger(const QString& section, const QString& key) = 0;
  virtual QString ReadString(const QString& section, const QString& key) = 0;
  virtual double ReadFloat(const QString& section, const QString& key) = 0;
  virtual void WriteInteger(const QString& section, const QString& key, int value) = 0;
  virtual void WriteString(const QString& section, const QString& key, const QString& value) = 0;
  virtual void WriteFloat(const QString& section, const QString& key, double value) = 0;
  virtual void ReadObject(const QString& section, const QString& key, QObject* object) = 0;
  virtual void WriteObject(const QString& section, const QString& key, QObject* object) = 0;
  virtual void FindValues(const QString& section) = 0;
  virtual void BeginRead() = 0;
  virtual void EndRead() = 0;
  virtual void BeginWrite() = 0;
  virtual void EndWrite() = 0;
  virtual void Load();
  virtual void Save();
  virtual bool ValueExists(const QString& section, const QString& key) = 0;

  // Raises the duplicate error unless Save is running or no item uses the pair.
  void CheckDuplicate(const QString& section, const QString& key) const;
  // Owner's name + "Left", "Top", "Right", "Bottom" or "State" for 0..4.
  QString PlacementKey(int index) const;
  std::array<int, 5> GetPlacement() const;
  void SetPlacement(const std::array<int, 5>& values);

  // The owner's definition is complete: loads when AutoLoad.
  void Loaded();
  // A component this store was told about is going away.
  void Notification(QObject* component);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TProp;
  void FollowDestruction(QObject* component);
  void OnComponentDestroyed(QObject* component) { Notification(component); }
  bool OwnerIsWindowed() const;
  TPlacementForm* OwnerForm() const;

  TProps FProps{this};
  QStringList FFindKeys;
  bool FAutoLoad = true;
  bool FAutoSave = false;
  bool FHookInstalled = false;
  TRestoreKinds FRestorePlacement;
  bool FLoading = false;
  bool FSaving = false;
};

// The name of the section that holds the placement keys.
inline const char* const WindowPlacementSection = "WindowPlacement";
